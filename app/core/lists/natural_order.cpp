#include "app/core/lists/natural_order.h"

#include "conv/inputs.h"

namespace tnw::app {

int naturalCompare(std::string_view a, std::string_view b)
{
    return conv::naturalCompare(a, b);
}

}  // namespace tnw::app
