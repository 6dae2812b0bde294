// The exported call interface of the conversion library.
#include "tnw_export.h"
