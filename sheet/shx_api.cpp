// The exported call interface of the paper-sheet library.
#include "tnw_export.h"
