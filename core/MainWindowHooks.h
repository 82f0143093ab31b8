#pragma once

#include <functional>

// What dialogs may ask of the main window, without knowing it.

// The meter link as the windows see it.
class LinkControl {
public:
    virtual ~LinkControl() = default;
    // Opens or closes the port and shows the state; false only when opening failed.
    virtual bool SetLinkOnline(bool open) = 0;
    // Whether the link is meant to be online.
    virtual bool IsOnline() const = 0;
    virtual void SetIsOnline(bool online) = 0;
    // After a window that ran with the link taken offline: back online when it is meant to
    // be; a failed reopen leaves it offline, silently.
    virtual void ResumeLink();
};

// The record display and layout of the main window.
class DisplayControl {
public:
    virtual ~DisplayControl() = default;
    virtual void RefreshDisplay() = 0;
    virtual void ApplyModeLayout() = 0;
};

// Takes the link offline while `work` runs (a dialog, a file operation) and brings it back
// afterwards when it is meant to be online; a failed reopen leaves it offline, silently.
void RunWithLinkSuspended(LinkControl& link, const std::function<void()>& work);
