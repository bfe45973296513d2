#pragma once
// What a message box shows; the core builds these, a front end displays them.
#include <string>

namespace kovo::util {

enum class MessageIcon { None, Information, Exclamation, Question };
enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class Answer { Ok, Yes, No, Cancel };

struct Message {
    std::string text;
    std::string title;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    Answer defaultButton = Answer::Ok;
};

// The application's standard title, used where a message has no title of its own.
inline constexpr const char* kProgramTitle = "KOVO";

}  // namespace kovo::util
