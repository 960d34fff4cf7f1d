#pragma once
// Owners of Win32 handles that one call releases: each closes its handle
// when it goes out of scope, on every way out. Move-only.

#include <windows.h>

namespace lumenvik::win {

template <class Handle, class Close>
class OwnedHandle {
  public:
    OwnedHandle() = default;
    explicit OwnedHandle(Handle handle) : handle_(handle) {}
    ~OwnedHandle() { reset(); }
    OwnedHandle(OwnedHandle&& other) noexcept : handle_(other.release()) {}
    OwnedHandle& operator=(OwnedHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Handle{}; }
    // Hands the handle over to whoever releases it now (for example a menu
    // that takes a submenu); this owner forgets it.
    Handle release() {
        const Handle handle = handle_;
        handle_ = Handle{};
        return handle;
    }
    void reset(Handle handle = Handle{}) {
        if (handle_ != Handle{}) Close()(handle_);
        handle_ = handle;
    }

  private:
    Handle handle_{};
};

// The release calls' results are ignored: a handle that cannot be released
// at the end of its owner's life leaves nothing the program could do.
struct DestroyIconCall {
    void operator()(HICON icon) const { ::DestroyIcon(icon); }
};
struct DeleteFontCall {
    void operator()(HFONT font) const { ::DeleteObject(font); }
};
struct DestroyMenuCall {
    void operator()(HMENU menu) const { ::DestroyMenu(menu); }
};
struct RegCloseKeyCall {
    void operator()(HKEY key) const { ::RegCloseKey(key); }
};
struct CloseHandleCall {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};

// An icon made for this program (LoadImageA without LR_SHARED, CreateIcon);
// shared icons (LoadIconA) are the system's and are never destroyed.
using OwnedIcon = OwnedHandle<HICON, DestroyIconCall>;
using OwnedFont = OwnedHandle<HFONT, DeleteFontCall>;
// A menu, with every submenu attached to it.
using OwnedMenu = OwnedHandle<HMENU, DestroyMenuCall>;
using OwnedRegKey = OwnedHandle<HKEY, RegCloseKeyCall>;
// A kernel object: mutex, event, file, process.
using OwnedKernelHandle = OwnedHandle<HANDLE, CloseHandleCall>;

}  // namespace lumenvik::win
