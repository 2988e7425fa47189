#include "report/frxClass.h"

#include "report/frxPrintPages.h"

namespace frx {

bool TfrxReport::Print(int currentPageNo)
{
    return PrintPrepared(*this, currentPageNo);
}

} // namespace frx
