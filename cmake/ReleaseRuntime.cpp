// Linked into the release programs only, in place of two parts of the static libstdc++ that
// would otherwise bring in far more than they do:
// - the terminate handler ends the process with a plain abort; libstdc++'s own first names the
//   exception on standard error, which needs its whole symbol demangler (and a window program
//   has no standard error to show it on);
// - the library's checks that throw std::logic_error and std::runtime_error and their kin throw
//   an exception of our own instead: those classes hold their message in a reference-counted
//   string of the old ABI, which drags in a second copy of the string code. Nothing in the
//   programs catches them by type; an uncaught one ends the program as before.
// - the few POSIX thread functions that the exception machinery calls (a once-only start, a lock,
//   thread-local slots) are implemented here over the system's own; winpthread, which the -posix
//   compilers link for them, would bring its whole thread library. The programs run all their
//   code on one thread: their function-local statics are built without locks (the release flags
//   hold -fno-threadsafe-statics), so nothing needs condition variables or read-write locks. Should
//   the standard library ever need another of winpthread's functions, the link fails with two
//   definitions of these, never silently.
#include <bits/functexcept.h>

#include <windows.h>

#include <pthread.h>

#include <cstdlib>
#include <exception>
#include <new>
#include <typeinfo>

namespace {

// What a failed check of the standard library throws in the release programs.
struct TLibraryCheckFailed {
    const char* What;
};

} // namespace

namespace __gnu_cxx {

void __verbose_terminate_handler();

void __verbose_terminate_handler() {
    std::abort();
}

} // namespace __gnu_cxx

namespace std {

void __throw_bad_exception() {
    throw std::bad_exception();
}
void __throw_bad_alloc() {
    throw std::bad_alloc();
}
void __throw_bad_array_new_length() {
    throw std::bad_array_new_length();
}
void __throw_bad_cast() {
    throw std::bad_cast();
}
void __throw_bad_typeid() {
    throw std::bad_typeid();
}
void __throw_logic_error(const char* What) {
    throw TLibraryCheckFailed{What};
}
void __throw_domain_error(const char* What) {
    throw TLibraryCheckFailed{What};
}
void __throw_invalid_argument(const char* What) {
    throw TLibraryCheckFailed{What};
}
void __throw_length_error(const char* What) {
    throw TLibraryCheckFailed{What};
}
void __throw_out_of_range(const char* What) {
    throw TLibraryCheckFailed{What};
}
void __throw_out_of_range_fmt(const char* What, ...) {
    throw TLibraryCheckFailed{What};
}
void __throw_runtime_error(const char* What) {
    throw TLibraryCheckFailed{What};
}
void __throw_range_error(const char* What) {
    throw TLibraryCheckFailed{What};
}
void __throw_overflow_error(const char* What) {
    throw TLibraryCheckFailed{What};
}
void __throw_underflow_error(const char* What) {
    throw TLibraryCheckFailed{What};
}

} // namespace std

namespace {

// The thread-local slots and locks below stand in for functions that leave the thread's last
// error as it was; the system's own that they call may set it (TlsGetValue sets it to 0 on
// success), and the exception machinery calls them on every throw and catch.
class TLastErrorKeeper {
public:
    TLastErrorKeeper() : FError(GetLastError()) {}
    TLastErrorKeeper(const TLastErrorKeeper&) = delete;
    TLastErrorKeeper& operator=(const TLastErrorKeeper&) = delete;
    ~TLastErrorKeeper() { SetLastError(FError); }

private:
    DWORD FError;
};

} // namespace

extern "C" {

// The state of a pthread_once_t: 0 not run, 2 done, or else the id of the thread that runs the
// function (a multiple of 4, never 0 or 2). A call from within the function itself would wait for
// itself forever: it ends the process at once instead. When the function raises an exception, the
// state goes back to "not run" (as std::call_once wants it) and the exception goes on to the
// caller.
int pthread_once(pthread_once_t* Once, void (*Function)(void)) {
    const TLastErrorKeeper keeper;
    const auto self = static_cast<LONG>(GetCurrentThreadId());
    for (;;) {
        const LONG state = InterlockedCompareExchange(Once, self, 0);
        if (state == 2) {
            return 0;
        }
        if (state == self) {
            std::abort();
        }
        if (state == 0) {
            try {
                Function();
            } catch (...) {
                InterlockedExchange(Once, 0);
                throw;
            }
            InterlockedExchange(Once, 2);
            return 0;
        }
        // Another thread runs the function.
        Sleep(0);
    }
}

// A mutex is a pointer to a critical section (which may be entered again by its owner), or one of
// the static initialisers (negative), which is replaced by one on first use.
int pthread_mutex_init(pthread_mutex_t* Mutex, const pthread_mutexattr_t*) {
    const TLastErrorKeeper keeper;
    auto* section =
        static_cast<CRITICAL_SECTION*>(HeapAlloc(GetProcessHeap(), 0, sizeof(CRITICAL_SECTION)));
    if (section == nullptr) {
        return ENOMEM;
    }
    InitializeCriticalSection(section);
    *Mutex = reinterpret_cast<pthread_mutex_t>(section);
    return 0;
}

int pthread_mutex_destroy(pthread_mutex_t* Mutex) {
    const TLastErrorKeeper keeper;
    if (*Mutex >= 0) {
        auto* section = reinterpret_cast<CRITICAL_SECTION*>(*Mutex);
        DeleteCriticalSection(section);
        HeapFree(GetProcessHeap(), 0, section);
    }
    *Mutex = PTHREAD_MUTEX_INITIALIZER;
    return 0;
}

namespace {

CRITICAL_SECTION* SectionOf(pthread_mutex_t* Mutex) {
    const pthread_mutex_t initial = *Mutex;
    if (initial < 0) {
        pthread_mutex_t made = initial;
        if (pthread_mutex_init(&made, nullptr) != 0) {
            std::abort();
        }
        const auto* other = reinterpret_cast<CRITICAL_SECTION*>(InterlockedCompareExchangePointer(
            reinterpret_cast<void* volatile*>(Mutex), reinterpret_cast<void*>(made),
            reinterpret_cast<void*>(initial)));
        if (reinterpret_cast<pthread_mutex_t>(other) != initial) {
            pthread_mutex_destroy(&made);
        }
    }
    return reinterpret_cast<CRITICAL_SECTION*>(*Mutex);
}

} // namespace

int pthread_mutex_lock(pthread_mutex_t* Mutex) {
    const TLastErrorKeeper keeper;
    EnterCriticalSection(SectionOf(Mutex));
    return 0;
}

int pthread_mutex_unlock(pthread_mutex_t* Mutex) {
    const TLastErrorKeeper keeper;
    LeaveCriticalSection(SectionOf(Mutex));
    return 0;
}

// Thread-local slots. A slot's destructor is not run when a thread ends: only the programs' one
// thread uses them, and it ends with the process.
int pthread_key_create(pthread_key_t* Key, void (*)(void*)) {
    const TLastErrorKeeper keeper;
    const DWORD slot = TlsAlloc();
    if (slot == TLS_OUT_OF_INDEXES) {
        return EAGAIN;
    }
    *Key = slot;
    return 0;
}

int pthread_key_delete(pthread_key_t Key) {
    const TLastErrorKeeper keeper;
    return TlsFree(Key) ? 0 : EINVAL;
}

void* pthread_getspecific(pthread_key_t Key) {
    const TLastErrorKeeper keeper;
    return TlsGetValue(Key);
}

int pthread_setspecific(pthread_key_t Key, const void* Value) {
    const TLastErrorKeeper keeper;
    return TlsSetValue(Key, const_cast<void*>(Value)) ? 0 : EINVAL;
}

} // extern "C"
