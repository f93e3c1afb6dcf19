// The bridge's thread: it waits for the desktop's accessibility to be on, then joins the
// accessibility bus with the toolkit's objects and runs their main loop. And the view of the
// model on the event loop's side, which hands the bridge what changed and never waits for it.
#include "Access_un.h"
#include "Accessshared_un.h"
#include "Accesstext_un.h"

#include <atk-bridge.h>
#include <atspi/atspi.h>
#include <dbus/dbus.h>
#include <glib.h>

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
    DBusConnection* bus = nullptr;
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

// Whether IsEnabled or ScreenReaderEnabled is true in a dictionary of org.a11y.Status's
// properties (a{sv}) at the iterator.
bool Enabled(DBusMessageIter* dictionary) {
    if (dbus_message_iter_get_arg_type(dictionary) != DBUS_TYPE_ARRAY) return false;
    DBusMessageIter entries;
    dbus_message_iter_recurse(dictionary, &entries);
    for (; dbus_message_iter_get_arg_type(&entries) == DBUS_TYPE_DICT_ENTRY;
         dbus_message_iter_next(&entries)) {
        DBusMessageIter entry, value;
        dbus_message_iter_recurse(&entries, &entry);
        if (dbus_message_iter_get_arg_type(&entry) != DBUS_TYPE_STRING) continue;
        const char* name = nullptr;
        dbus_message_iter_get_basic(&entry, &name);
        dbus_message_iter_next(&entry);
        if (dbus_message_iter_get_arg_type(&entry) != DBUS_TYPE_VARIANT) continue;
        dbus_message_iter_recurse(&entry, &value);
        if (dbus_message_iter_get_arg_type(&value) != DBUS_TYPE_BOOLEAN) continue;
        dbus_bool_t on = FALSE;
        dbus_message_iter_get_basic(&value, &on);
        if (on &&
            (std::strcmp(name, "IsEnabled") == 0 || std::strcmp(name, "ScreenReaderEnabled") == 0))
            return true;
    }
    return false;
}

// The launcher of the accessibility bus is there: whether the desktop's accessibility is on.
// Asked without starting the launcher where it does not run.
void AskStatus() {
    DBusMessage* call = dbus_message_new_method_call(StatusName, StatusPath,
                                                     "org.freedesktop.DBus.Properties", "GetAll");
    if (call == nullptr) return;
    const char* interface = StatusInterface;
    dbus_message_append_args(call, DBUS_TYPE_STRING, &interface, DBUS_TYPE_INVALID);
    dbus_message_set_auto_start(call, FALSE);
    DBusMessage* reply =
        dbus_connection_send_with_reply_and_block(bridge->bus, call, 2000, nullptr);
    dbus_message_unref(call);
    if (reply == nullptr) return;
    DBusMessageIter properties;
    if (dbus_message_iter_init(reply, &properties) && Enabled(&properties)) Join();
    dbus_message_unref(reply);
}

// The desktop's accessibility turned on while the calculator runs, or the launcher started.
DBusHandlerResult Heard(DBusConnection*, DBusMessage* message, void*) {
    if (dbus_message_is_signal(message, "org.freedesktop.DBus.Properties", "PropertiesChanged") &&
        dbus_message_has_path(message, StatusPath)) {
        DBusMessageIter args;
        const char* interface = nullptr;
        if (dbus_message_iter_init(message, &args) &&
            dbus_message_iter_get_arg_type(&args) == DBUS_TYPE_STRING) {
            dbus_message_iter_get_basic(&args, &interface);
            dbus_message_iter_next(&args);
            if (std::strcmp(interface, StatusInterface) == 0 && Enabled(&args)) Join();
        }
    } else if (dbus_message_is_signal(message, DBUS_INTERFACE_DBUS, "NameOwnerChanged")) {
        const char *name = nullptr, *from = nullptr, *to = nullptr;
        if (dbus_message_get_args(message, nullptr, DBUS_TYPE_STRING, &name, DBUS_TYPE_STRING,
                                  &from, DBUS_TYPE_STRING, &to, DBUS_TYPE_INVALID) &&
            std::strcmp(name, StatusName) == 0 && *to != '\0')
            AskStatus();
    }
    return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
}

// Connects to the session bus with the library the process has loaded already (SDL's), its
// messages dispatched by the bridge's loop.
bool ConnectSessionBus(const std::string& address) {
    bridge->bus = dbus_connection_open_private(address.c_str(), nullptr);
    if (bridge->bus == nullptr) return false;
    if (!dbus_bus_register(bridge->bus, nullptr)) {
        dbus_connection_close(bridge->bus);
        dbus_connection_unref(bridge->bus);
        bridge->bus = nullptr;
        return false;
    }
    dbus_connection_set_exit_on_disconnect(bridge->bus, FALSE);
    atspi_dbus_connection_setup_with_g_main(bridge->bus, nullptr);
    return true;
}

void Run() {
    const std::string address = SessionBusAddress();
    if (address.empty() || !ConnectSessionBus(address)) return;
    dbus_connection_add_filter(bridge->bus, Heard, nullptr, nullptr);
    dbus_bus_add_match(bridge->bus,
                       "type='signal',interface='org.freedesktop.DBus.Properties',"
                       "member='PropertiesChanged',path='/org/a11y/bus'",
                       nullptr);
    dbus_bus_add_match(
        bridge->bus,
        "type='signal',sender='org.freedesktop.DBus',interface='org.freedesktop.DBus',"
        "member='NameOwnerChanged',arg0='org.a11y.Bus'",
        nullptr);
    // The launcher of the accessibility bus is never started from here: where it does not run,
    // the desktop's accessibility is off until it starts (a screen reader starts it).
    if (dbus_bus_name_has_owner(bridge->bus, StatusName, nullptr)) AskStatus();
    g_main_loop_run(bridge->loop);
    if (bridge->joined) atk_bridge_adaptor_cleanup();
    dbus_connection_close(bridge->bus);
    dbus_connection_unref(bridge->bus);
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
