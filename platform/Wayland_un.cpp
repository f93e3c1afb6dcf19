#include "Wayland_un.h"

#include <SDL_syswm.h>
#include <dlfcn.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

std::string WaylandConnectionError(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) ||
        info.subsystem != SDL_SYSWM_WAYLAND)
        return {};
    // SDL has loaded the Wayland client library; its functions are looked up there, so that
    // the program links no Wayland library of its own.
    void* library = dlopen("libwayland-client.so.0", RTLD_NOW | RTLD_NOLOAD);
    if (library == nullptr) return {};
    using GetError = int (*)(wl_display*);
    using GetProtocolError = std::uint32_t (*)(wl_display*, const void**, std::uint32_t*);
    auto getError = reinterpret_cast<GetError>(dlsym(library, "wl_display_get_error"));
    auto getProtocolError =
        reinterpret_cast<GetProtocolError>(dlsym(library, "wl_display_get_protocol_error"));
    std::string why;
    if (const int error = getError != nullptr ? getError(info.info.wl.display) : 0) {
        why = std::string("the connection to the Wayland compositor was lost: ") +
              std::strerror(error);
        const void* interface = nullptr;
        std::uint32_t id = 0;
        if (error == EPROTO && getProtocolError != nullptr)
            why += " (error " +
                   std::to_string(getProtocolError(info.info.wl.display, &interface, &id)) +
                   " on object " + std::to_string(id) + ")";
    }
    dlclose(library);
    return why;
}
