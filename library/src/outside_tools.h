// Driving the outside tools: each is started from the current directory with a hidden window and
// shows that it has finished a command by creating "completed.txt" there; the binding tool answers
// a check with a state word in "bsts.txt".
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace kv::lib {

inline constexpr char16_t kBindingTool[] = u"tvxbind.exe";
inline constexpr char16_t kNicControlTool[] = u"nicctlv6.exe";
inline constexpr char16_t kCommandInterpreter[] = u"cmd.exe";
inline constexpr char16_t kCompletedFile[] = u"completed.txt";
inline constexpr char16_t kStateFile[] = u"bsts.txt";

// Completion polls of one binding-tool command after the immediate try.
inline constexpr int kBindingRetries = 10;

// Starts a program of the current directory hidden, without waiting for it.
bool startHidden(std::u16string_view program, std::u16string_view parameters, std::u16string_view verb = u"open");

// Tries to open "completed.txt" at once and again after each of up to `retries` sleeps of
// 1000 ms; true as soon as it opens.
bool waitForCompletion(int retries);

// Deletes "completed.txt", starts the tool hidden and waits for it as above. False when the tool
// could not be started (no completion can come then) or did not finish in time.
bool runTool(std::u16string_view program, std::u16string_view parameters, int retries,
             std::u16string_view verb = u"open");

// Up to 20 attempts of: run the binding tool's check command line to completion, then read the
// state word (up to 9 characters of "bsts.txt", empty when it is missing). Returns the first
// state `done` accepts; after every other attempt sleeps 500 ms. Returns the last state read when
// none was accepted.
std::string checkBinding(std::string_view checkLine, const std::function<bool(std::string_view)>& done);

}  // namespace kv::lib
