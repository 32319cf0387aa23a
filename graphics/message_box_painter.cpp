// The box a runtime error shows in the program's window: the title and the message in the
// display's default font, wrapped at spaces (a word too long for a line is cut), as many lines
// as the picture has room for, centred over the picture.
#include <algorithm>
#include <string>
#include <vector>

#include "host_graphics.h"

namespace tx {
namespace {

constexpr int32_t kMargin = 4;   // between the box and the picture's edges
constexpr int32_t kPadding = 6;  // between the box's edge and its text
constexpr uint32_t kBackground = 0xFF202020;
constexpr uint32_t kBorder = 0xFFE04040;
constexpr uint32_t kTitleColour = 0xFFFF8080;
constexpr uint32_t kTextColour = 0xFFFFFFFF;

// Lines of at most maxWidth pixels.
std::vector<std::string> wrap(const HostFont& font, std::string_view text, int32_t maxWidth) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find('\n', start), text.size());
        std::string_view rest = text.substr(start, end - start);
        do {
            // The longest run that fits, ended at a space when there is one.
            size_t take = 0;
            while (take < rest.size() && font.stringWidth(rest.substr(0, take + 1)) <= maxWidth)
                ++take;
            take = std::max<size_t>(take, 1);
            if (take < rest.size()) {
                const size_t space = rest.substr(0, take + 1).rfind(' ');
                if (space != std::string_view::npos && space > 0) take = space;
            }
            lines.emplace_back(rest.substr(0, std::min(take, rest.size())));
            rest.remove_prefix(std::min(take, rest.size()));
            while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
        } while (!rest.empty());
        start = end + 1;
    }
    return lines;
}

}  // namespace

void HostGraphics::paintMessage(std::string_view title, std::string_view message, int32_t width,
                                int32_t height, const Show& show) {
    HostFont* font = defaultFont_.get();
    if (font == nullptr) return;
    const int32_t lineHeight = std::max(font->getHeight(), 1);
    const int32_t textWidth = width - 2 * (kMargin + kPadding);
    const int32_t roomLines = (height - 2 * (kMargin + kPadding)) / lineHeight;
    if (textWidth < font->getWidth() || roomLines < 1) return;

    std::vector<std::string> lines = wrap(*font, message, textWidth);
    lines.insert(lines.begin(), std::string(title));
    if (static_cast<int32_t>(lines.size()) > roomLines) lines.resize(roomLines);
    int32_t widest = 0;
    for (const std::string& line : lines) widest = std::max(widest, font->stringWidth(line));

    const int32_t boxWidth = std::min(widest, textWidth) + 2 * kPadding;
    const int32_t boxHeight = static_cast<int32_t>(lines.size()) * lineHeight + 2 * kPadding;
    const std::unique_ptr<HostCanvas> box = HostCanvas::create(boxWidth, boxHeight, format());
    if (box == nullptr) return;
    box->setFont(font);
    box->setColor(kBackground);
    box->rect(0, 0, boxWidth, boxHeight, true);
    box->setColor(kBorder);
    box->rect(0, 0, boxWidth, boxHeight, false);
    box->rect(1, 1, boxWidth - 2, boxHeight - 2, false);
    for (size_t i = 0; i < lines.size(); ++i) {
        box->setColor(i == 0 ? kTitleColour : kTextColour);
        box->text(kPadding, kPadding + static_cast<int32_t>(i) * lineHeight, lines[i]);
    }
    show({box->pixels(), box->pitch(), boxWidth, boxHeight, box->getDepth()},
         {(width - boxWidth) / 2, (height - boxHeight) / 2, boxWidth, boxHeight});
}

}  // namespace tx
