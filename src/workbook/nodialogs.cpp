#include "workbook/nodialogs.h"

#include <com/sun/star/task/XInteractionAbort.hpp>
#include <com/sun/star/task/XInteractionRequest.hpp>

#include "workbook/unovalues.h"

namespace tsumiki {

using namespace com::sun::star;

void NoDialogs::handle(const uno::Reference<task::XInteractionRequest>& request) {
    if (fromOu(request->getRequest().getValueTypeName()).contains(u"PasswordRequest")) {
        passwordAsked = true;
    }
    for (const uno::Reference<task::XInteractionContinuation>& c : request->getContinuations()) {
        uno::Reference<task::XInteractionAbort> abort(c, uno::UNO_QUERY);
        if (abort.is()) {
            abort->select();
            return;
        }
    }
}

}  // namespace tsumiki
