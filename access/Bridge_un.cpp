// The bridge's thread: it waits for the desktop's accessibility to be on, then joins the
// accessibility bus with the toolkit's objects and runs their main loop. And the view of the
// model on the event loop's side, which hands the bridge what changed and never waits for it.
#include "Access_un.h"
#include "Accessshared_un.h"
#include "Accesstext_un.h"

#include <atk-bridge.h>
#include <gio/gio.h>

#include "engine/Matheng_un.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <future>
#include <numbers>
#include <thread>

namespace {

constexpr const char* StatusName = "org.a11y.Bus";
constexpr const char* StatusPath = "/org/a11y/bus";
constexpr const char* StatusInterface = "org.a11y.Status";
// How long the end of the program waits for the bridge to let go of the bus.
constexpr auto StopWait = std::chrono::milliseconds(500);

// The one bridge of the process: the toolkit's objects and the bridge's own state are
// process-wide, and so is its main loop (the toolkit's, GLib's default).
struct Bridge {
    std::shared_ptr<AccessShared> shared;
    GMainLoop* loop = nullptr;
    GDBusConnection* bus = nullptr;
    bool joined = false;
    std::future<void> ended;
};
Bridge* bridge = nullptr;

// The session bus's address, where there is one; never one started for the asking.
std::string SessionBusAddress() {
    if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"); address && *address)
        return address;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
        const std::string socket = std::string(runtime) + "/bus";
        if (g_file_test(socket.c_str(), G_FILE_TEST_EXISTS)) return "unix:path=" + socket;
    }
    return {};
}

gboolean Drain(gpointer) {
    std::deque<AccessNote> notes;
    {
        std::lock_guard lock(bridge->shared->lock);
        notes.swap(bridge->shared->notes);
        bridge->shared->drainQueued = false;
    }
    if (bridge->joined)
        for (const AccessNote& note : notes) TellAccessTree(note);
    return G_SOURCE_REMOVE;
}

void Join() {
    if (bridge->joined) return;
    InstallAccessTree(*bridge->shared);
    // The bridge makes its own connection to the accessibility bus; it fails with a warning
    // of its own where there is none.
    if (atk_bridge_adaptor_init(nullptr, nullptr) != 0) return;
    bridge->joined = true;
    bridge->shared->live = true;
}

bool Enabled(GVariant* properties) {
    gboolean on = FALSE, reader = FALSE;
    g_variant_lookup(properties, "IsEnabled", "b", &on);
    g_variant_lookup(properties, "ScreenReaderEnabled", "b", &reader);
    return on || reader;
}

// The desktop's accessibility turned on (or off) while the calculator runs.
void StatusChanged(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                   GVariant* parameters, gpointer) {
    const gchar* interface = nullptr;
    GVariant* changed = nullptr;
    g_variant_get(parameters, "(&s@a{sv}as)", &interface, &changed, nullptr);
    if (std::strcmp(interface, StatusInterface) == 0 && Enabled(changed)) Join();
    g_variant_unref(changed);
}

// The launcher of the accessibility bus is there: whether the desktop's accessibility is on.
void AskStatus(GDBusConnection* bus, const gchar*, const gchar*, gpointer) {
    GVariant* reply = g_dbus_connection_call_sync(
        bus, StatusName, StatusPath, "org.freedesktop.DBus.Properties", "GetAll",
        g_variant_new("(s)", StatusInterface), G_VARIANT_TYPE("(a{sv})"),
        G_DBUS_CALL_FLAGS_NO_AUTO_START, 2000, nullptr, nullptr);
    if (reply == nullptr) return;
    GVariant* properties = g_variant_get_child_value(reply, 0);
    if (Enabled(properties)) Join();
    g_variant_unref(properties);
    g_variant_unref(reply);
}

void Run() {
    const std::string address = SessionBusAddress();
    if (address.empty()) return;
    bridge->bus = g_dbus_connection_new_for_address_sync(
        address.c_str(),
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, nullptr);
    if (bridge->bus == nullptr) return;
    g_dbus_connection_set_exit_on_close(bridge->bus, FALSE);
    // From any sender: a well-known name is matched only while the connection knows its owner.
    g_dbus_connection_signal_subscribe(bridge->bus, nullptr, "org.freedesktop.DBus.Properties",
                                       "PropertiesChanged", StatusPath, nullptr,
                                       G_DBUS_SIGNAL_FLAGS_NONE, StatusChanged, nullptr, nullptr);
    // The launcher of the accessibility bus is never started from here: where it does not run,
    // the desktop's accessibility is off until it starts (a screen reader starts it).
    const guint watch = g_bus_watch_name_on_connection(bridge->bus, StatusName,
                                                       G_BUS_NAME_WATCHER_FLAGS_NONE, AskStatus,
                                                       nullptr, nullptr, nullptr);
    g_main_loop_run(bridge->loop);
    g_bus_unwatch_name(watch);
    if (bridge->joined) atk_bridge_adaptor_cleanup();
    g_object_unref(bridge->bus);
}

void Queue(AccessShared& shared, AccessNote note) {
    std::lock_guard lock(shared.lock);
    if (!shared.live) return;
    shared.notes.push_back(std::move(note));
    if (shared.drainQueued) return;
    shared.drainQueued = true;
    // Always queued, even where no loop runs yet: it waits for the bridge's.
    g_idle_add(Drain, nullptr);
}

bool NoBridgeWanted() {
    const char* no = std::getenv("NO_AT_BRIDGE");
    return no != nullptr && std::strcmp(no, "1") == 0;
}

} // namespace

AccessView::AccessView(CalculatorModel& model, std::function<void(std::function<void()>)> post)
    : model_(model), shared_(std::make_shared<AccessShared>()) {
    shared_->post = std::move(post);
    CalculatorModel* m = &model_;
    AccessShared* s = shared_.get();
    shared_->press = [m, s](int key, bool down) {
        s->post([m, key, down] {
            if (down)
                m->Do({Action::PressKey, key});
            else
                m->Do({Action::ReleaseKeys});
        });
    };
    shared_->focus = [m, s](int key) { s->post([m, key] { m->Do({Action::FocusKey, key}); }); };
    {
        std::lock_guard lock(shared_->lock);
        shared_->state.text = model_.Text().empty() ? "0" : model_.Text();
        shared_->state.memoryShown = model_.MemoryShown();
    }
    model_.AddView(*this);
}

AccessView::~AccessView() {
    model_.RemoveView(*this);
    {
        std::lock_guard lock(shared_->lock);
        shared_->closed = true;
    }
    if (bridge == nullptr || bridge->shared != shared_) return;
    g_main_loop_quit(bridge->loop);
    // A bridge caught in a call to a bus that does not answer is left to end with the process.
    if (bridge->ended.wait_for(StopWait) != std::future_status::ready) return;
    g_main_loop_unref(bridge->loop);
    delete bridge;
    bridge = nullptr;
}

void AccessView::Start() {
    if (bridge != nullptr || NoBridgeWanted()) return;
    bridge = new Bridge;
    bridge->shared = shared_;
    bridge->loop = g_main_loop_new(nullptr, FALSE);
    std::packaged_task<void()> task(Run);
    bridge->ended = task.get_future();
    std::thread(std::move(task)).detach();
}

bool AccessView::Live() const {
    return shared_->live;
}

void AccessView::SetPlaces(const AccessPlaces& places) {
    std::lock_guard lock(shared_->lock);
    shared_->state.places = places;
}

void AccessView::Key(bool down, std::uint16_t key, char32_t typed, TShiftState shift) {
    if (!Live()) return;
    AccessNote note{AccessNote::KeyEvent};
    note.shown = down;
    note.keysym = KeysymOf(key, typed);
    note.modifiers = ModifierMaskOf(shift);
    if (typed >= 0x20) {
        gchar utf8[8] = {};
        g_unichar_to_utf8(typed, utf8);
        note.text = utf8;
    }
    if (note.keysym != 0) Queue(*shared_, std::move(note));
}

void AccessView::Active(bool active) {
    {
        std::lock_guard lock(shared_->lock);
        if (shared_->state.active == active) return;
        shared_->state.active = active;
    }
    Queue(*shared_, {.kind = AccessNote::Active, .shown = active});
}

void AccessView::DisplayChanged(const std::string& text, bool memoryShown) {
    AccessNote textNote{AccessNote::Text}, memoryNote{AccessNote::Memory};
    bool textChanged, markChanged;
    {
        std::lock_guard lock(shared_->lock);
        AccessState& s = shared_->state;
        textChanged = s.text != text;
        markChanged = s.memoryShown != memoryShown;
        textNote.old = s.text;
        s.text = text;
        s.memoryShown = memoryShown;
    }
    textNote.text = text;
    memoryNote.shown = memoryShown;
    if (textChanged) Queue(*shared_, std::move(textNote));
    if (markChanged) Queue(*shared_, std::move(memoryNote));
}

void AccessView::MemoryChanged(double memory) {
    memory_ = memory;
}

void AccessView::KeyChanged(int, bool down) {
    if (!down) return;
    textBefore_ = model_.Text();
    memoryBefore_ = memory_;
}

void AccessView::ViewChanged(const ViewState& view) {
    // The card can be read once the frame stands more than half open.
    const bool open = view.DisplayTilt > std::numbers::pi / 4;
    {
        std::lock_guard lock(shared_->lock);
        if (shared_->state.cardOpen == open) return;
        shared_->state.cardOpen = open;
    }
    Queue(*shared_, {.kind = AccessNote::Card, .shown = open});
}

void AccessView::FocusChanged(int key, bool shown) {
    const int focused = shown ? key : -1;
    int from;
    {
        std::lock_guard lock(shared_->lock);
        from = shared_->state.focused;
        if (from == focused) return;
        shared_->state.focused = focused;
    }
    Queue(*shared_, {.kind = AccessNote::Focus, .key = focused, .from = from});
}

void AccessView::CommandRan(int key) {
    const std::string spoken = AnnouncementOf({.key = key,
                                               .before = textBefore_,
                                               .after = model_.Text(),
                                               .memoryBefore = memoryBefore_,
                                               .memoryAfter = memory_,
                                               .error = DisplayShowsError()});
    if (!spoken.empty()) Queue(*shared_, {.kind = AccessNote::Announce, .text = spoken});
}
