// The toolkit's objects of the calculator, made and used on the bridge's thread alone: the
// application, its window, the display, the 22 keys and the card of shortcuts. What they
// report is read from the shared state under its lock; what a screen reader does to them
// goes back through the shared functions.
#include "Accessshared_un.h"
#include "Accesstext_un.h"

#include <atk/atk.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace {

AccessShared* shared = nullptr;

enum class Part { Window, Display, Key, Card };

// How long a key pressed by a screen reader stays down: long enough to be seen going down.
constexpr guint PressMilliseconds = 120;

} // namespace

// ---- The types ---------------------------------------------------------------------------

extern "C" {

struct TesselRoot {
    AtkObject object;
};
struct TesselRootClass {
    AtkObjectClass base;
};
struct TesselPart {
    AtkObject object;
    Part part;
    int key; // of a key, its ButtonId
};
struct TesselPartClass {
    AtkObjectClass base;
};
struct TesselWindow {
    TesselPart part;
};
struct TesselWindowClass {
    TesselPartClass base;
};
struct TesselKey {
    TesselPart part;
};
struct TesselKeyClass {
    TesselPartClass base;
};
struct TesselText {
    TesselPart part;
};
struct TesselTextClass {
    TesselPartClass base;
};

static void tessel_part_component_init(AtkComponentIface* iface);
static void tessel_key_action_init(AtkActionIface* iface);
static void tessel_text_text_init(AtkTextIface* iface);
static void tessel_window_window_init(AtkWindowIface*) {}

G_DEFINE_TYPE(TesselRoot, tessel_root, ATK_TYPE_OBJECT)
G_DEFINE_TYPE_WITH_CODE(TesselPart, tessel_part, ATK_TYPE_OBJECT,
                        G_IMPLEMENT_INTERFACE(ATK_TYPE_COMPONENT, tessel_part_component_init))
G_DEFINE_TYPE_WITH_CODE(TesselWindow, tessel_window, tessel_part_get_type(),
                        G_IMPLEMENT_INTERFACE(ATK_TYPE_WINDOW, tessel_window_window_init))
G_DEFINE_TYPE_WITH_CODE(TesselKey, tessel_key, tessel_part_get_type(),
                        G_IMPLEMENT_INTERFACE(ATK_TYPE_ACTION, tessel_key_action_init))
G_DEFINE_TYPE_WITH_CODE(TesselText, tessel_text, tessel_part_get_type(),
                        G_IMPLEMENT_INTERFACE(ATK_TYPE_TEXT, tessel_text_text_init))
}

namespace {

// The objects, made once and kept for the life of the process.
AtkObject* root = nullptr;
AtkObject* window = nullptr;
AtkObject* display = nullptr;
AtkObject* card = nullptr;
std::array<AtkObject*, KeyCount> keys{};

TesselPart* PartOf(gpointer object) {
    return reinterpret_cast<TesselPart*>(object);
}

AccessState State() {
    std::lock_guard lock(shared->lock);
    return shared->state;
}

// The window's children: the display, the keys in reading order, and the card while open.
int ChildCount(const AccessState& s) {
    return 1 + KeyCount + (s.cardOpen ? 1 : 0);
}

AtkObject* Child(const AccessState& s, int i) {
    if (i == 0) return display;
    if (i >= 1 && i <= KeyCount) return keys[FocusOrder[i - 1]];
    if (i == KeyCount + 1 && s.cardOpen) return card;
    return nullptr;
}

int KeyIndex(int key) {
    const auto at = std::find(FocusOrder.begin(), FocusOrder.end(), key);
    return 1 + static_cast<int>(at - FocusOrder.begin());
}

std::string TextOf(AtkText* text) {
    // The card never changes: its text is made once.
    static const std::string card = CardText();
    return PartOf(text)->part == Part::Card ? card : State().text;
}

// ---- The application ----------------------------------------------------------------------

gint RootChildren(AtkObject*) {
    return 1;
}

AtkObject* RootChild(AtkObject*, gint i) {
    return i == 0 ? ATK_OBJECT(g_object_ref(window)) : nullptr;
}

// ---- Every part ---------------------------------------------------------------------------

gint PartChildren(AtkObject* object) {
    return PartOf(object)->part == Part::Window ? ChildCount(State()) : 0;
}

AtkObject* PartChild(AtkObject* object, gint i) {
    if (PartOf(object)->part != Part::Window) return nullptr;
    AtkObject* child = Child(State(), i);
    return child != nullptr ? ATK_OBJECT(g_object_ref(child)) : nullptr;
}

gint PartIndex(AtkObject* object) {
    switch (PartOf(object)->part) {
    case Part::Window:
        return 0;
    case Part::Display:
        return 0;
    case Part::Key:
        return KeyIndex(PartOf(object)->key);
    case Part::Card:
        return KeyCount + 1;
    }
    return -1;
}

AtkStateSet* PartStates(AtkObject* object) {
    AtkStateSet* set = ATK_OBJECT_CLASS(tessel_part_parent_class)->ref_state_set(object);
    const AccessState s = State();
    const TesselPart* p = PartOf(object);
    for (AtkStateType state :
         {ATK_STATE_ENABLED, ATK_STATE_SENSITIVE, ATK_STATE_VISIBLE, ATK_STATE_SHOWING})
        atk_state_set_add_state(set, state);
    if (p->part == Part::Window && s.active) atk_state_set_add_state(set, ATK_STATE_ACTIVE);
    if (p->part == Part::Key) {
        atk_state_set_add_state(set, ATK_STATE_FOCUSABLE);
        if (s.focused == p->key) atk_state_set_add_state(set, ATK_STATE_FOCUSED);
    }
    if (p->part == Part::Card) atk_state_set_add_state(set, ATK_STATE_MULTI_LINE);
    if (p->part == Part::Display || p->part == Part::Card)
        atk_state_set_add_state(set, ATK_STATE_READ_ONLY);
    return set;
}

// ---- Where each part is -------------------------------------------------------------------

void Extents(AtkComponent* component, gint* x, gint* y, gint* width, gint* height,
             AtkCoordType coords) {
    const AccessState s = State();
    const AccessPlaces& at = s.places;
    const TesselPart* p = PartOf(component);
    AccessRect r{0, 0, at.window.width, at.window.height};
    if (p->part == Part::Display) r = at.display;
    if (p->part == Part::Card) r = at.card;
    if (p->part == Part::Key) r = at.keys[p->key];
    // The window's own place is on the screen; a part's, in the window, which is its parent.
    const bool onScreen =
        coords == ATK_XY_SCREEN || (p->part == Part::Window && coords == ATK_XY_PARENT);
    *x = r.x + (onScreen ? at.window.x : 0);
    *y = r.y + (onScreen ? at.window.y : 0);
    *width = r.width;
    *height = r.height;
}

gboolean GrabFocus(AtkComponent* component) {
    const TesselPart* p = PartOf(component);
    if (p->part != Part::Key) return FALSE;
    std::lock_guard lock(shared->lock);
    if (shared->closed) return FALSE;
    shared->focus(p->key);
    return TRUE;
}

// ---- A key's one action: click ------------------------------------------------------------

gint ActionCount(AtkAction*) {
    return 1;
}

gboolean Release(gpointer) {
    std::lock_guard lock(shared->lock);
    if (!shared->closed) shared->press(-1, false);
    return G_SOURCE_REMOVE;
}

gboolean DoAction(AtkAction* action, gint i) {
    if (i != 0) return FALSE;
    {
        std::lock_guard lock(shared->lock);
        if (shared->closed) return FALSE;
        shared->press(PartOf(action)->key, true);
    }
    g_timeout_add(PressMilliseconds, Release, nullptr);
    return TRUE;
}

const gchar* ActionName(AtkAction*, gint i) {
    return i == 0 ? "click" : nullptr;
}

const gchar* ActionDescription(AtkAction*, gint i) {
    return i == 0 ? "Presses the key" : nullptr;
}

const gchar* KeyBinding(AtkAction* action, gint i) {
    if (i != 0) return nullptr;
    // The toolkit keeps the string no longer than the object; one per key, made once.
    static std::array<std::string, KeyCount> bindings = [] {
        std::array<std::string, KeyCount> all;
        for (int k = 0; k < KeyCount; ++k) all[k] = ";;" + KeyBindingOf(k);
        return all;
    }();
    return bindings[PartOf(action)->key].c_str();
}

// ---- The display's and the card's text ----------------------------------------------------

gchar* Text(AtkText* text, gint start, gint end) {
    const std::string all = TextOf(text);
    const glong count = g_utf8_strlen(all.c_str(), -1);
    if (end < 0 || end > count) end = static_cast<gint>(count);
    start = std::clamp<gint>(start, 0, end);
    return g_utf8_substring(all.c_str(), start, end);
}

gint CharacterCount(AtkText* text) {
    return static_cast<gint>(g_utf8_strlen(TextOf(text).c_str(), -1));
}

gunichar CharacterAt(AtkText* text, gint offset) {
    const std::string all = TextOf(text);
    if (offset < 0 || offset >= g_utf8_strlen(all.c_str(), -1)) return 0;
    return g_utf8_get_char(g_utf8_offset_to_pointer(all.c_str(), offset));
}

// A character, or the line holding the offset; the display is one line, the card several.
gchar* StringAt(AtkText* text, gint offset, AtkTextGranularity granularity, gint* start,
                gint* end) {
    const std::string all = TextOf(text);
    const gint count = static_cast<gint>(g_utf8_strlen(all.c_str(), -1));
    *start = *end = 0;
    if (offset < 0 || offset > count) return nullptr;
    if (granularity == ATK_TEXT_GRANULARITY_CHAR) {
        *start = offset;
        *end = std::min(offset + 1, count);
    } else {
        // One walk over the text read once: a line break is never part of a longer character.
        gint from = 0, i = 0;
        *end = count;
        for (const char* p = all.c_str(); *p != '\0'; p = g_utf8_next_char(p), ++i) {
            if (*p != '\n') continue;
            if (i < offset) from = i + 1;
            if (i >= offset) {
                *end = i + 1;
                break;
            }
        }
        *start = from;
    }
    return g_utf8_substring(all.c_str(), *start, *end);
}

// ---- The toolkit's root and the key listeners ---------------------------------------------

std::vector<std::pair<guint, std::pair<AtkKeySnoopFunc, gpointer>>> keyListeners;
guint lastListener = 0;

AtkObject* Root() {
    return root;
}

const gchar* ToolkitName() {
    return "Tessel";
}

const gchar* ToolkitVersion() {
    return TESSEL_VERSION;
}

guint AddKeyListener(AtkKeySnoopFunc listener, gpointer data) {
    keyListeners.push_back({++lastListener, {listener, data}});
    return lastListener;
}

void RemoveKeyListener(guint id) {
    std::erase_if(keyListeners, [id](const auto& l) { return l.first == id; });
}

template <class Object>
Object* MakePart(GType type, Part part, int key, AtkRole role, const char* name,
                 AtkObject* parent) {
    auto* object = static_cast<Object*>(g_object_new(type, nullptr));
    TesselPart* p = PartOf(object);
    p->part = part;
    p->key = key;
    atk_object_initialize(ATK_OBJECT(object), nullptr);
    atk_object_set_role(ATK_OBJECT(object), role);
    atk_object_set_name(ATK_OBJECT(object), name);
    atk_object_set_parent(ATK_OBJECT(object), parent);
    return object;
}

} // namespace

extern "C" {

static void tessel_root_init(TesselRoot*) {}
static void tessel_root_class_init(TesselRootClass* c) {
    c->base.get_n_children = RootChildren;
    c->base.ref_child = RootChild;
}
static void tessel_part_init(TesselPart*) {}
static void tessel_part_class_init(TesselPartClass* c) {
    c->base.get_n_children = PartChildren;
    c->base.ref_child = PartChild;
    c->base.get_index_in_parent = PartIndex;
    c->base.ref_state_set = PartStates;
}
static void tessel_window_init(TesselWindow*) {}
static void tessel_window_class_init(TesselWindowClass*) {}
static void tessel_key_init(TesselKey*) {}
static void tessel_key_class_init(TesselKeyClass*) {}
static void tessel_text_init(TesselText*) {}
static void tessel_text_class_init(TesselTextClass*) {}

static void tessel_part_component_init(AtkComponentIface* iface) {
    iface->get_extents = Extents;
    iface->grab_focus = GrabFocus;
}
static void tessel_key_action_init(AtkActionIface* iface) {
    iface->get_n_actions = ActionCount;
    iface->do_action = DoAction;
    iface->get_name = ActionName;
    iface->get_description = ActionDescription;
    iface->get_keybinding = KeyBinding;
}
static void tessel_text_text_init(AtkTextIface* iface) {
    iface->get_text = Text;
    iface->get_character_count = CharacterCount;
    iface->get_character_at_offset = CharacterAt;
    iface->get_string_at_offset = StringAt;
}
}

void InstallAccessTree(AccessShared& s) {
    shared = &s;
    auto* util = ATK_UTIL_CLASS(g_type_class_ref(ATK_TYPE_UTIL));
    util->get_root = Root;
    util->get_toolkit_name = ToolkitName;
    util->get_toolkit_version = ToolkitVersion;
    util->add_key_event_listener = AddKeyListener;
    util->remove_key_event_listener = RemoveKeyListener;

    root = ATK_OBJECT(g_object_new(tessel_root_get_type(), nullptr));
    atk_object_initialize(root, nullptr);
    atk_object_set_role(root, ATK_ROLE_APPLICATION);
    atk_object_set_name(root, "Tessel");
    window = ATK_OBJECT(MakePart<TesselWindow>(tessel_window_get_type(), Part::Window, -1,
                                               ATK_ROLE_FRAME, "Tessel", root));
    display = ATK_OBJECT(MakePart<TesselText>(tessel_text_get_type(), Part::Display, -1,
                                              ATK_ROLE_STATUSBAR, "Display", window));
    const AccessState state = State();
    atk_object_set_description(display, DisplayDescription(state.memoryShown).c_str());
    for (int k = 0; k < KeyCount; ++k)
        keys[k] = ATK_OBJECT(MakePart<TesselKey>(tessel_key_get_type(), Part::Key, k,
                                                 ATK_ROLE_PUSH_BUTTON, Keypad[k].spoken, window));
    card = ATK_OBJECT(MakePart<TesselText>(tessel_text_get_type(), Part::Card, -1, ATK_ROLE_LABEL,
                                           "Keyboard shortcuts", window));
}

void TellAccessTree(const AccessNote& note) {
    switch (note.kind) {
    case AccessNote::Text:
        g_signal_emit_by_name(display, "text-remove", 0,
                              static_cast<gint>(g_utf8_strlen(note.old.c_str(), -1)),
                              note.old.c_str());
        g_signal_emit_by_name(display, "text-insert", 0,
                              static_cast<gint>(g_utf8_strlen(note.text.c_str(), -1)),
                              note.text.c_str());
        return;
    case AccessNote::Memory:
        atk_object_set_description(display, DisplayDescription(note.shown).c_str());
        return;
    case AccessNote::Focus:
        if (note.from >= 0)
            atk_object_notify_state_change(keys[note.from], ATK_STATE_FOCUSED, FALSE);
        if (note.key >= 0) atk_object_notify_state_change(keys[note.key], ATK_STATE_FOCUSED, TRUE);
        return;
    case AccessNote::Card:
        g_signal_emit_by_name(window,
                              note.shown ? "children-changed::add" : "children-changed::remove",
                              KeyCount + 1, card);
        return;
    case AccessNote::Announce:
        g_signal_emit_by_name(display, "announcement", note.text.c_str());
        return;
    case AccessNote::Active:
        atk_object_notify_state_change(window, ATK_STATE_ACTIVE, note.shown);
        g_signal_emit_by_name(window, note.shown ? "activate" : "deactivate");
        return;
    case AccessNote::KeyEvent: {
        AtkKeyEventStruct event{};
        event.type = note.shown ? ATK_KEY_EVENT_PRESS : ATK_KEY_EVENT_RELEASE;
        event.state = note.modifiers;
        event.keyval = note.keysym;
        gchar typed[8] = {};
        if (note.typed != 0) g_unichar_to_utf8(note.typed, typed);
        event.string = typed;
        event.length = static_cast<gint>(std::strlen(typed));
        event.timestamp = static_cast<guint32>(g_get_monotonic_time() / 1000);
        // The listeners may remove themselves while told.
        const auto listeners = keyListeners;
        for (const auto& [id, listener] : listeners) listener.first(&event, listener.second);
        return;
    }
    }
}
