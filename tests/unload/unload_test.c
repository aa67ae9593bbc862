/* A host that unloads the library while the worker still runs must not
 * crash: the library stays mapped, and the worker keeps running in it. */
#include <dlfcn.h>
#include <stdio.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    void* lib = dlopen(argv[1], RTLD_NOW);
    if (!lib) {
        fprintf(stderr, "dlopen: %s\n", dlerror());
        return 1;
    }
    int (*start)(const char*) = (int (*)(const char*))dlsym(lib, "te_start");
    if (!start || start("{\"poll_ms\":20}") != 1) return 1;
    dlclose(lib);
    usleep(300 * 1000); /* the worker polls about fifteen times meanwhile */
    puts("still alive after unloading a running library");
    return 0;
}
