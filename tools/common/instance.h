// One background instance per user and desktop: the lock a running host
// holds, and the status it publishes beside the lock for others to read.
//
// A host that runs the engine in the background (`te run`, the snippet
// manager window) takes the lock with te_instance_lock::acquire before it
// starts the engine and keeps it until it exits. On POSIX the lock is an
// flock on <dir>/velmora-te-<desktop>.lock; on Windows a LockFileEx lock on
// %LOCALAPPDATA%\Wrenfold\velmora-te-session<id>.lock, one per user and
// logon session. The system drops it when the process ends, however it
// ends, so a crashed host never leaves a stale lock.
// Beside it, <lock>.json holds the holder's status:
//   {"pid":N,"mode":"clipboard","started":S,"expanded":N,"store":"...",
//    "host":"te run","paused":false,"desktop":"x11","refresh":"SIGUSR1"}
// Readers trust the status only while the lock is held (te_instance_query).
#ifndef TE_TOOLS_INSTANCE_H
#define TE_TOOLS_INSTANCE_H

#include <cstdint>
#include <string>

struct te_instance_info {
    long pid = 0;
    std::string mode;         // "clipboard", "hotkey", ...
    long long started = 0;    // unix seconds
    long long expanded = 0;   // expansions since the holder started
    std::string store;        // the store file the holder uses
    std::string host;         // "te run" or "velmora-manager"
    bool paused = false;
    std::string desktop;      // the desktop the engine serves ("x11", "wayland", ...)
    // The signal that has the holder publish its status afresh ("SIGUSR1"),
    // or "" when it only publishes by itself. A holder that sleeps while
    // idle publishes its count when asked rather than looking for one.
    std::string refresh;
};

// The folder of the lock. POSIX: $XDG_RUNTIME_DIR when it is set and a
// directory (per user and cleared at logout), else the folder of
// `store_path`. Windows: %LOCALAPPDATA%\Wrenfold (per user, not roaming),
// else the folder of `store_path`.
std::string te_instance_dir(const std::string& store_path);

// POSIX: <te_instance_dir>/velmora-te-<desktop>.lock, naming the desktop
// the engine serves (or would serve: te_desktop_chosen), so two hosts
// serving one desktop always meet: on X11 $DISPLAY less its screen number
// (":0.0" and ":0" are one display); on Wayland "wayland" and the
// compositor's socket as a full path; with no desktop "nodisplay". Every
// byte outside [A-Za-z0-9_.-] is replaced by '_'. Windows: <te_instance_dir>\velmora-te-session<id>.lock
// with the logon session's id. The user is implied by the per-user folder.
std::string te_instance_lock_path(const std::string& store_path);

// The lock one process holds while it runs in the background. Not copyable;
// the destructor releases it.
class te_instance_lock {
public:
    te_instance_lock() = default;
    te_instance_lock(const te_instance_lock&) = delete;
    te_instance_lock& operator=(const te_instance_lock&) = delete;
    ~te_instance_lock();

    // Takes the lock without waiting (creating its folder and file, mode
    // 0600). True when this object holds it (also when it already did).
    // False when another process holds it, with *error saying which, e.g.
    // "te is already running (pid 42, te run)", or when the file cannot be
    // opened or locking is not supported here.
    bool acquire(const std::string& store_path, std::string* error);
    // Replaces the status file beside the lock in one step (mode 0600).
    // Does nothing unless the lock is held.
    void publish(const te_instance_info& info);
    // Removes the status file, then drops the lock. Safe to call twice.
    void release();
    bool held() const { return handle_ != -1; }

private:
    std::intptr_t handle_ = -1;  // a descriptor (POSIX) or a handle (Windows)
    std::string path_;
};

// True when some process holds the lock for this store and display; *out
// (may be null) then gets its published status (pid from the lock file
// when the status is not written yet). Tested with a lock attempt on the
// file, never by a pid alone, so a recycled pid is never mistaken for a
// running host.
bool te_instance_query(const std::string& store_path, te_instance_info* out);

// Asks the holder to publish its status afresh (its `refresh` signal) and
// waits up to timeout_ms for the new status; nothing when none runs or it
// names no signal (Windows: never).
void te_instance_refresh(const std::string& store_path, int timeout_ms);

// Asks the holder to stop (SIGTERM) and waits up to timeout_ms until the
// lock is free. 1 stopped, 0 none was running, -1 failed (*error says why;
// on Windows, where no signal asks, always when one runs).
int te_instance_stop(const std::string& store_path, int timeout_ms, std::string* error);

#endif
