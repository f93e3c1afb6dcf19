// The calculator on the desktop's accessibility bus: a view of the model that a screen
// reader walks (the window, the display, the 22 keys, the card of shortcuts), is told of
// results by, and presses keys through. The toolkit's objects live on a thread of their own
// with their own main loop; the event loop's thread only hands them what changed, under a
// short lock, and never waits for them. The only code that knows the accessibility toolkit
// is in this folder.
#pragma once

#include "model/Calcmodel_un.h"
#include "platform/Winlayer_un.h"

#include <array>
#include <functional>
#include <future>
#include <memory>
#include <string>

// A rectangle in the window, in the desktop's units, from the window's top left.
struct AccessRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const AccessRect&) const = default;
};

// Where the parts a screen reader can point at are on the screen.
struct AccessPlaces {
    WindowPlace window{};
    AccessRect display, card;
    std::array<AccessRect, KeyCount> keys{};
    bool operator==(const AccessPlaces&) const = default;
};

struct AccessShared;

class AccessView final : public CalculatorView {
public:
    // post runs work on the event loop's thread (the platform's Post): how the keys a screen
    // reader presses reach the model.
    AccessView(CalculatorModel& model, std::function<void(std::function<void()>)> post);
    ~AccessView() override;
    AccessView(const AccessView&) = delete;
    AccessView& operator=(const AccessView&) = delete;

    // Starts the bridge's thread, unless NO_AT_BRIDGE=1 or there is no session bus (nothing is
    // said then). The thread loads the bridge's module and joins the accessibility bus once the
    // desktop's accessibility is on, at once or when it is turned on later.
    void Start();
    // Whether a screen reader may be looking: the places are worth working out.
    bool Live() const;
    void SetPlaces(const AccessPlaces& places);
    // A key the user pressed or let go, echoed to the screen reader.
    void Key(bool down, std::uint16_t key, char32_t typed, TShiftState shift);
    // Whether the window has the keyboard.
    void Active(bool active);

    void DisplayChanged(const std::string& text, bool memoryShown) override;
    void MemoryChanged(double memory) override;
    void KeyChanged(int key, bool down) override;
    void ViewChanged(const ViewState& view) override;
    void FocusChanged(int key, bool shown) override;
    void CommandRan(int key) override;

private:
    CalculatorModel& model_;
    std::shared_ptr<AccessShared> shared_;
    // The display and the memory as a key went down, to tell what its command changed.
    std::string textBefore_;
    double memoryBefore_ = 0, memory_ = 0;
    std::future<void> bridgeEnded_; // ready once the bridge's thread has ended
};

// The session bus's address: the environment's DBUS_SESSION_BUS_ADDRESS, else the socket "bus"
// in XDG_RUNTIME_DIR where there is one; empty where neither is. Never one started for the
// asking.
std::string SessionBusAddress(const char* address, const char* runtimeFolder);

// The bridge's module for the program at that path: beside it (in the build tree) or in its
// library folder (installed); empty where exists finds neither.
std::string AccessModulePath(const std::string& program,
                             const std::function<bool(const std::string&)>& exists);
