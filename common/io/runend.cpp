#include "runend.hpp"

#include <optional>
#include <utility>

namespace flownet {

void stopOrderly(std::string consoleLine) {
    throw RunEnd{0, std::move(consoleLine), false, ""};
}

void stopFailure(std::string message) {
    throw RunEnd{2, std::move(message), false, ""};
}

void stopWithReportError(std::ostream& report, const char* layout,
                         std::initializer_list<Item> items) {
    std::string line = formatLayout(layout, items);
    report << line;
    const std::size_t first = line.find_first_not_of("\n ");
    const std::size_t last = line.find_last_not_of("\n ");
    throw RunEnd{0, kStopLine, true,
                 first == std::string::npos ? "" : line.substr(first, last - first + 1)};
}

int runProgram(const char* program, std::istream& in, std::ostream& console, std::ostream& errors,
               const std::function<void(Console&)>& body, const std::function<void()>& finish) {
    std::optional<RunEnd> end;  // none: the body came to its natural end
    Console con(in, console, errors, program);
    try {
        body(con);
    } catch (const RunEnd& e) {
        end = e;
    }
    if (finish) {
        try {
            finish();
        } catch (const RunEnd& e) {
            if (!end || end->status == 0) end = e;
        }
    }
    if (end && end->status == 0) {
        console << end->line << '\n';
    } else if (end) {
        console.flush();
        errors << program << ": " << end->line << '\n';
    }
    console.flush();
    return end ? end->status : 0;
}

}  // namespace flownet
