// Runs a function on this thread every 10 ms while a download's wait
// dispatches the thread's messages (a thread timer: it fires only then).
#pragma once

#include <windows.h>

#include <functional>

namespace testhttp {

// One at a time; Count() ticks since it was made.
struct Ticker {
    static int& Count()
    {
        static int n = 0;
        return n;
    }
    static std::function<void()>& Fn()
    {
        static std::function<void()> f;
        return f;
    }
    UINT_PTR id;
    explicit Ticker(std::function<void()> fn = nullptr)
    {
        Count() = 0;
        Fn() = fn;
        id = SetTimer(nullptr, 0, 10, &Tick);
    }
    ~Ticker()
    {
        KillTimer(nullptr, id);
        Fn() = nullptr;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        ++Count();
        if (Fn())
            Fn()();
    }
};

} // namespace testhttp
