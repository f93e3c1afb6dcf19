// What the event loop's thread and the bridge's thread share: the calculator as the screen
// reader sees it, kept by the one and read by the other under one lock, and the changes to
// tell, in order. Knows no toolkit: the bridge and the toolkit are a module of their own,
// loaded by the bridge's thread after the first frame, so that a start loads none of them.
#pragma once

#include "Access_un.h"

#include <atomic>
#include <deque>
#include <mutex>
#include <string>

// A change the bridge tells the screen reader of.
struct AccessNote {
    enum Kind {
        Text,     // text: the display's new text; old: the one before
        Memory,   // the display's memory mark
        Focus,    // key: the focused key, -1 for none; old key in `from`
        Card,     // shown: the card can be read now, or no longer
        Announce, // text: what to speak
        KeyEvent, // shown (down), keysym, modifiers, typed: a key the user typed
        Active,   // shown: the window has the keyboard
    } kind;
    std::string text = {}, old = {};
    int key = -1, from = -1;
    bool shown = false;
    std::uint32_t keysym = 0;
    unsigned modifiers = 0;
    char32_t typed = 0; // the character the key typed, 0 for none
};

struct AccessState {
    std::string text = "0";
    bool memoryShown = false;
    int focused = -1; // the key with the keyboard focus, -1 for none
    bool cardOpen = false;
    bool active = false;
    AccessPlaces places{};
};

struct AccessShared {
    std::mutex lock;
    AccessState state;
    std::deque<AccessNote> notes;
    bool drainQueued = false; // a drain of the notes waits on the bridge's loop
    bool closed = false;      // the view is gone: nothing more reaches the model
    std::atomic<bool> live{false};
    // Runs work on the event loop's thread (only while not closed, under the lock).
    std::function<void(std::function<void()>)> post;
    // Presses a key in the model as a click does, down now and up a moment later.
    std::function<void(int key, bool down)> press;
    std::function<void(int key)> focus;
    // Set by the bridge while its loop runs, and called under the lock: wake has the loop drain
    // the notes, stop ends it.
    void (*wake)() = nullptr;
    void (*stop)() = nullptr;
};

// The module's one entry, run on the bridge's thread: it joins the session bus at the address,
// waits for the desktop's accessibility to be on, and tells the screen reader of the shared
// state until stop is called (at once where closed is set already).
using AccessBridgeRun = void (*)(AccessShared& shared, const char* busAddress);
inline constexpr const char* AccessBridgeRunName = "TesselAccessBridgeRun";

// The bridge's side (Atktree_un): the toolkit's objects for the shared state. Called on the
// bridge's thread only.
// Makes the objects and hands the toolkit its root; once.
void InstallAccessTree(AccessShared& shared);
// Tells the screen reader of one change.
void TellAccessTree(const AccessNote& note);
