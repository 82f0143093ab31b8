#include "MainWindowHooks.h"

void RunWithLinkSuspended(LinkControl& link, const std::function<void()>& work) {
    link.SetLinkOnline(false);
    work();
    if (link.IsOnline() && !link.SetLinkOnline(true)) link.SetIsOnline(false);
}
