#include "MainWindowHooks.h"

void LinkControl::ResumeLink() {
    if (IsOnline() && !SetLinkOnline(true)) SetIsOnline(false);
}

void RunWithLinkSuspended(LinkControl& link, const std::function<void()>& work) {
    link.SetLinkOnline(false);
    work();
    link.ResumeLink();
}
