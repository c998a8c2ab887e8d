#include "tests/support/NullGL.h"

#include <type_traits>

#include "render/GLEntryPoints.h"

namespace NullGL {
namespace {

template <typename Function>
struct NullCall;

template <typename Result, typename... Args>
struct NullCall<Result (*)(Args...)> {
    static Result Call(Args...) {
        if constexpr (!std::is_void_v<Result>) {
            return Result{};
        }
    }
};

}  // namespace

#define NULL_GL_CORE(name) PublishedGLCore.name = &NullCall<decltype(&::name)>::Call;
#define NULL_GL_LEGACY(name) PublishedGLLegacy.name = &NullCall<decltype(&::name)>::Call;

void Install() {
    GL_CORE_ENTRY_POINTS(NULL_GL_CORE)
    GL_LEGACY_ENTRY_POINTS(NULL_GL_LEGACY)
}

void Uninstall() {
    ClearPublishedGLEntryPoints();
}

}  // namespace NullGL
