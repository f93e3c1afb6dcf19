// The view of the model on the event loop's side: it keeps the shared state, queues the
// changes to tell and never waits for the bridge. The bridge itself, with the accessibility
// toolkit and the libraries it needs, is a module that the bridge's own thread loads once the
// first frame is on the screen: a start of the calculator loads none of them.
#include "Access_un.h"
#include "Accessshared_un.h"
#include "Accesstext_un.h"

#include "engine/Matheng_un.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <future>
#include <numbers>
#include <thread>

#include <dlfcn.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// How long the end of the program waits for the bridge to let go of the bus.
constexpr auto StopWait = std::chrono::milliseconds(500);
// The bridge's module: beside the program in its build tree, in the program's own library
// folder once installed.
constexpr const char* ModuleName = "tessel-access.so";
constexpr const char* InstalledModuleFolder = TESSEL_ACCESS_MODULE_FOLDER;

// The toolkit's objects are process-wide: one bridge for the process, whatever the views.
std::atomic<bool> bridgeStarted{false};

bool NoBridgeWanted() {
    const char* no = std::getenv("NO_AT_BRIDGE");
    return no != nullptr && std::strcmp(no, "1") == 0;
}

void Queue(AccessShared& shared, AccessNote note) {
    std::lock_guard lock(shared.lock);
    if (!shared.live) return;
    shared.notes.push_back(std::move(note));
    if (shared.drainQueued || shared.wake == nullptr) return;
    shared.drainQueued = true;
    shared.wake();
}

// Loads the module and runs its bridge until it is stopped; says why where it cannot be
// loaded, which leaves the calculator as it is, without a screen reader.
void RunBridge(const std::shared_ptr<AccessShared>& shared, const std::string& module,
               const std::string& address) {
    void* loaded = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
    auto run = loaded != nullptr
                   ? reinterpret_cast<AccessBridgeRun>(dlsym(loaded, AccessBridgeRunName))
                   : nullptr;
    if (run == nullptr) {
        std::fprintf(stderr, "tessel: no screen reader can be served: %s\n", dlerror());
        return;
    }
    run(*shared, address.c_str());
    // The module stays: the toolkit's types, once made, cannot be unmade.
}

} // namespace

std::string SessionBusAddress(const char* address, const char* runtimeFolder) {
    if (address != nullptr && *address != '\0') return address;
    if (runtimeFolder == nullptr || *runtimeFolder == '\0') return {};
    const std::string socket = std::string(runtimeFolder) + "/bus";
    struct stat st;
    if (stat(socket.c_str(), &st) != 0 || !S_ISSOCK(st.st_mode)) return {};
    return "unix:path=" + socket;
}

std::string AccessModulePath(const std::string& program,
                             const std::function<bool(const std::string&)>& exists) {
    if (program.empty()) return {};
    const fs::path folder = fs::path(program).parent_path();
    for (const fs::path& path :
         {folder / ModuleName, folder / InstalledModuleFolder / ModuleName}) {
        const std::string candidate = path.lexically_normal().string();
        if (exists(candidate)) return candidate;
    }
    return {};
}

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
        if (shared_->stop != nullptr) shared_->stop();
    }
    // A bridge caught in a call to a bus that does not answer is left to end with the process;
    // it holds the shared state as long as it runs.
    if (bridgeEnded_.valid()) bridgeEnded_.wait_for(StopWait);
}

void AccessView::Start() {
    if (NoBridgeWanted() || bridgeStarted.exchange(true)) return;
    // Without a session bus no screen reader can look; nothing is loaded, nothing said.
    const std::string address =
        SessionBusAddress(std::getenv("DBUS_SESSION_BUS_ADDRESS"), std::getenv("XDG_RUNTIME_DIR"));
    if (address.empty()) return;
    std::error_code ec;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    const std::string module =
        AccessModulePath(ec ? std::string() : program.string(), [](const std::string& path) {
            std::error_code e;
            return fs::is_regular_file(path, e);
        });
    if (module.empty()) {
        std::fprintf(stderr, "tessel: no screen reader can be served: %s is missing\n", ModuleName);
        return;
    }
    std::packaged_task<void()> task(
        [shared = shared_, module, address] { RunBridge(shared, module, address); });
    bridgeEnded_ = task.get_future();
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
    if (typed >= 0x20) note.typed = typed;
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
