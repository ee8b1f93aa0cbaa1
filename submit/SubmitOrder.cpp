// Taking an order's copy of the scene's analysis and of the client's information.
#include "submit/SubmitOrder.h"

#include "analysis/RUDRenderingDataMgr.h"

namespace rud {

SubmitOrder NewSubmitOrder(RUDRenderingDataMgr& store) {
    SubmitOrder order;
    order.analysis = store.Analysis();
    (void)GetClientInformation(store.dataLog, order.client);
    return order;
}

} // namespace rud
