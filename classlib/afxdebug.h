// Debug checks of the class library and of code written on it.
//   ASSERT(f)  debug builds: reports the expression with its source file and
//              line when f is false; release builds: nothing is evaluated.
//   VERIFY(f)  evaluates f in every build; checks it like ASSERT in debug.
//   TRACE(...) printf-style text to the debug output in debug builds.
// A build is a debug build when _DEBUG is defined or NDEBUG is not.
//
// A failed check calls the assertion hook when one is set (tests use it to
// see the report and go on) and otherwise writes the report to the debug
// output and aborts.
#pragma once

// Loaded first so that MinGW's printf flavour is known below.
#include <cstdio>

#if defined(_DEBUG) || !defined(NDEBUG)
#define AFX_DEBUG_BUILD 1
#else
#define AFX_DEBUG_BUILD 0
#endif

#if defined(__MINGW_PRINTF_FORMAT)
#define AFX_PRINTF_LIKE(fmt, args) __attribute__((format(__MINGW_PRINTF_FORMAT, fmt, args)))
#elif defined(__GNUC__)
#define AFX_PRINTF_LIKE(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define AFX_PRINTF_LIKE(fmt, args)
#endif

typedef void (*AfxAssertHook)(const char* file, int line, const char* expression);

// Sets the hook for failed checks; null restores the default (report and
// abort). Returns the previous hook.
AfxAssertHook AfxSetAssertHook(AfxAssertHook hook);

// Reports a failed check; returns only when a hook is set.
void AfxAssertFailedLine(const char* file, int line, const char* expression);

// Writes text to the debug output: stderr, and under Windows also the
// debugger's output.
void AfxOutputDebugString(const char* text);

void AfxTrace(const char* format, ...) AFX_PRINTF_LIKE(1, 2);

inline int AfxTraceUnused(const char*, ...) { return 0; }

#if AFX_DEBUG_BUILD
#define ASSERT(f) ((f) ? (void)0 : AfxAssertFailedLine(__FILE__, __LINE__, #f))
#define VERIFY(f) ASSERT(f)
#define TRACE(...) AfxTrace(__VA_ARGS__)
#else
// sizeof keeps the operands "used" without evaluating them, so a variable
// that only an ASSERT reads raises no warning in release builds.
#define ASSERT(f) ((void)sizeof(!(f)))
#define VERIFY(f) ((void)(f))
#define TRACE(...) ((void)sizeof(AfxTraceUnused(__VA_ARGS__)))
#endif

// The library's own range checks: the condition is evaluated in every build
// (so a bad index never reaches memory), and reported as a failed ASSERT in
// debug builds. Yields the condition.
#if AFX_DEBUG_BUILD
#define AFX_CHECK(f) ((f) ? true : (AfxAssertFailedLine(__FILE__, __LINE__, #f), false))
#else
#define AFX_CHECK(f) (!!(f))
#endif
