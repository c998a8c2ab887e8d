/* Preloaded into the game by the end-to-end scenarios: writes one line per shown frame
 * ("swap SECONDS") and per file the game or its libraries open ("open SECONDS PATH") into the
 * file named by CATACLYSM_FRAME_LOG, with wall-clock times, so that a scenario can tell when the
 * menu showed its first frame and how fast it draws without the game reporting anything. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

static int log_fd = -2; /* -2: not opened yet; -1: no log wanted */

static void log_line(const char* what, const char* path) {
    if (log_fd == -2) {
        const char* name = getenv("CATACLYSM_FRAME_LOG");
        log_fd = name ? open(name, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644) : -1;
    }
    if (log_fd < 0) {
        return;
    }
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    char line[1200];
    int length = snprintf(line, sizeof line, "%s %lld.%09ld%s%s\n", what, (long long)now.tv_sec,
                          now.tv_nsec, path ? " " : "", path ? path : "");
    if (length > 0 && (size_t)length < sizeof line) {
        ssize_t written = write(log_fd, line, (size_t)length);
        (void)written;
    }
}

void SDL_GL_SwapWindow(void* window) {
    static void (*real)(void*) = NULL;
    if (!real) {
        real = (void (*)(void*))dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
    }
    real(window);
    log_line("swap", NULL);
}

FILE* fopen(const char* path, const char* mode) {
    static FILE* (*real)(const char*, const char*) = NULL;
    if (!real) {
        real = (FILE * (*)(const char*, const char*)) dlsym(RTLD_NEXT, "fopen");
    }
    log_line("open", path);
    return real(path, mode);
}

FILE* fopen64(const char* path, const char* mode) {
    static FILE* (*real)(const char*, const char*) = NULL;
    if (!real) {
        real = (FILE * (*)(const char*, const char*)) dlsym(RTLD_NEXT, "fopen64");
    }
    log_line("open", path);
    return real(path, mode);
}
