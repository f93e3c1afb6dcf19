// The bridge's module, loaded and run by the bridge's thread: it waits for the desktop's
// accessibility to be on, then joins the accessibility bus with the toolkit's objects and runs
// their main loop until the view stops it.
#include "Accessshared_un.h"

#include <atk-bridge.h>
#include <atspi/atspi.h>
#include <dbus/dbus.h>
#include <glib.h>

#include <cstring>
#include <type_traits>

namespace {

constexpr const char* StatusName = "org.a11y.Bus";
constexpr const char* StatusPath = "/org/a11y/bus";
constexpr const char* StatusInterface = "org.a11y.Status";

// The one bridge of the process: the toolkit's objects and the bridge's own state are
// process-wide, and so is its main loop (the toolkit's, GLib's default).
struct Bridge {
    AccessShared* shared = nullptr;
    GMainLoop* loop = nullptr;
    DBusConnection* bus = nullptr;
    bool joined = false;
};
Bridge* bridge = nullptr;

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
bool ConnectSessionBus(const char* address) {
    bridge->bus = dbus_connection_open_private(address, nullptr);
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

// Called under the shared lock, from the event loop's thread.
void Wake() {
    g_idle_add(Drain, nullptr);
}
// Ends the loop, whether it runs already or is still to start: the source waits for it.
void Stop() {
    g_idle_add_full(
        G_PRIORITY_HIGH,
        [](gpointer) {
            g_main_loop_quit(bridge->loop);
            return G_SOURCE_REMOVE;
        },
        nullptr, nullptr);
}

void Run(const char* address) {
    if (!ConnectSessionBus(address)) return;
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

} // namespace

extern "C" __attribute__((visibility("default"))) void
TesselAccessBridgeRun(AccessShared& shared, const char* busAddress) {
    static_assert(std::is_same_v<decltype(&TesselAccessBridgeRun), AccessBridgeRun>);
    Bridge one{.shared = &shared, .loop = g_main_loop_new(nullptr, FALSE)};
    {
        std::lock_guard lock(shared.lock);
        if (!shared.closed) {
            bridge = &one;
            shared.wake = Wake;
            shared.stop = Stop;
        }
    }
    if (bridge != nullptr) Run(busAddress);
    {
        std::lock_guard lock(shared.lock);
        shared.wake = nullptr;
        shared.stop = nullptr;
        shared.live = false;
    }
    g_main_loop_unref(one.loop);
    bridge = nullptr;
}
