#pragma once
// Turns any C function type into a recording stand-in: each call appends the function's name
// and its arguments (numbers as doubles, pointers as 0 or 1) to a log, and returns a zero of
// the function's result type. Fakes for the GL and AL tables are built from it slot by slot.
#include <ostream>
#include <string>
#include <type_traits>
#include <vector>

struct RecordedCall {
    std::string name;
    std::vector<double> args;
};

inline bool operator==(const RecordedCall& a, const RecordedCall& b) {
    return a.name == b.name && a.args == b.args;
}

// A call as GoogleTest prints it: the name and the arguments.
inline void PrintTo(const RecordedCall& call, std::ostream* out) {
    *out << call.name;
    for (double arg : call.args) {
        *out << ' ' << arg;
    }
}

// The calls of one function in a log, in order.
inline std::vector<RecordedCall> CallsNamed(const std::vector<RecordedCall>& log,
                                            const std::string& name) {
    std::vector<RecordedCall> matching;
    for (const RecordedCall& call : log) {
        if (call.name == name) {
            matching.push_back(call);
        }
    }
    return matching;
}

// The function names of a log, in order.
inline std::vector<std::string> NamesOf(const std::vector<RecordedCall>& log) {
    std::vector<std::string> names;
    for (const RecordedCall& call : log) {
        names.push_back(call.name);
    }
    return names;
}

template <typename T>
double RecordedValue(T value) {
    if constexpr (std::is_pointer_v<T>) {
        return value == nullptr ? 0.0 : 1.0;
    } else {
        return static_cast<double>(value);
    }
}

// Appends a call to a log, Log being a type with `static std::vector<RecordedCall>& Calls()`.
template <typename Log, typename... Args>
void Record(const char* name, Args... args) {
    Log::Calls().push_back(RecordedCall{name, {RecordedValue(args)...}});
}

// Name is a type with `static const char* Get()`.
template <typename Log, typename Name, typename Function>
struct CallRecorder;

template <typename Log, typename Name, typename Result, typename... Args>
struct CallRecorder<Log, Name, Result (*)(Args...)> {
    static Result Call(Args... args) {
        Record<Log>(Name::Get(), args...);
        if constexpr (!std::is_void_v<Result>) {
            return Result{};
        }
    }
};
