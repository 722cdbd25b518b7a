#pragma once

#include <com/sun/star/task/XInteractionHandler.hpp>
#include <cppuhelper/implbase1.hxx>

#include <atomic>

namespace tsumiki {

// Answers every question the office would put on screen (a stale lock, a password, a repair) with "cancel", so a
// load never waits for a dialog that nobody can see; remembers whether a password was asked for.
class NoDialogs final : public cppu::WeakImplHelper1<com::sun::star::task::XInteractionHandler> {
public:
    void SAL_CALL
    handle(const com::sun::star::uno::Reference<com::sun::star::task::XInteractionRequest>& request) override;

    std::atomic<bool> passwordAsked = false;
};

}  // namespace tsumiki
