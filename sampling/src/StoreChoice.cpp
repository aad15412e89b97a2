#include "StoreChoice.h"

namespace Morvek {
namespace SatKernel {

StoreChoice& storeChoice()
{
    static StoreChoice choice;
    return choice;
}

} // namespace SatKernel
} // namespace Morvek
