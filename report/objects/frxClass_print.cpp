#include "report/objects/frxClass.h"

#include "report/output/frxPrintPages.h"

namespace frx {

bool TfrxReport::Print(int currentPageNo)
{
    return PrintPrepared(*this, currentPageNo);
}

} // namespace frx
