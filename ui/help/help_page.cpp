#include "ui/help/help_page.h"

#include <cctype>

namespace {

std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string Attribute(const std::string& tag, const std::string& name) {
    const std::string lower = Lower(tag);
    const size_t at = lower.find(name + "=");
    if (at == std::string::npos)
        return std::string();
    size_t start = at + name.size() + 1;
    const char quote = start < tag.size() ? tag[start] : '\0';
    if (quote == '"' || quote == '\'') {
        const size_t end = tag.find(quote, start + 1);
        return tag.substr(start + 1,
                          end == std::string::npos ? std::string::npos : end - start - 1);
    }
    const size_t end = tag.find_first_of(" >", start);
    return tag.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string Entity(const std::string& name) {
    if (name == "nbsp")
        return "\xA0";
    if (name == "amp")
        return "&";
    if (name == "lt")
        return "<";
    if (name == "gt")
        return ">";
    if (name == "quot")
        return "\"";
    return "&" + name + ";";
}

class Reader {
  public:
    std::vector<HelpBlock> blocks;

    void Text(const std::string& raw) {
        if (skipping_ || raw.empty())
            return;
        std::string text;
        for (char c : raw) {
            const bool blank = c == ' ' || c == '\r' || c == '\n' || c == '\t';
            if (blank && (text.empty() ? LastEndsBlank() : text.back() == ' '))
                continue;
            text += blank ? ' ' : c;
        }
        if (text.empty() || (text == " " && !open_))
            return;
        if (!open_)
            Open(HelpBlock::Paragraph);
        HelpRun run;
        run.text = text;
        run.bold = bold_ > 0;
        run.link = link_;
        blocks.back().runs.push_back(run);
    }

    void Tag(const std::string& tag) {
        const bool closing = !tag.empty() && tag[0] == '/';
        std::string name = Lower(tag.substr(
            closing ? 1 : 0, tag.find_first_of(" />", closing ? 1 : 0) - (closing ? 1 : 0)));
        if (name == "head" || name == "style" || name == "title") {
            skipping_ = !closing;
            return;
        }
        if (name == "h2" || name == "h4" || name == "p" || name == "li") {
            if (closing) {
                open_ = false;
                return;
            }
            HelpBlock::Kind kind = name == "h2"   ? HelpBlock::Heading2
                                   : name == "h4" ? HelpBlock::Heading4
                                   : name == "li" ? HelpBlock::ListItem
                                   : Lower(Attribute(tag, "class")) == "mono"
                                       ? HelpBlock::Mono
                                       : HelpBlock::Paragraph;
            Open(kind);
            if (kind == HelpBlock::ListItem)
                blocks.back().marker = ordered_ ? std::to_string(++number_) + "." : "\x95";
        } else if (name == "ol" || name == "ul") {
            ordered_ = name == "ol";
            number_ = 0;
            open_ = false;
        } else if (name == "b" || name == "strong") {
            bold_ += closing ? -1 : 1;
        } else if (name == "a") {
            link_ = closing ? std::string() : Attribute(tag, "href");
        } else if (name == "br" && open_) {
            blocks.back().runs.push_back(HelpRun{"\n", false, std::string()});
        } else if (name == "hr") {
            Open(HelpBlock::Rule);
            open_ = false;
        } else if (name == "img" && Attribute(tag, "src") == "HELPHTML_PNG") {
            if (!open_)
                Open(HelpBlock::Paragraph);
            blocks.back().picture = true;
        }
    }

  private:
    void Open(HelpBlock::Kind kind) {
        HelpBlock block;
        block.kind = kind;
        blocks.push_back(block);
        open_ = true;
    }
    bool LastEndsBlank() const {
        if (!open_ || blocks.back().runs.empty())
            return true;
        const std::string& last = blocks.back().runs.back().text;
        return last.empty() || last.back() == ' ' || last.back() == '\n';
    }

    bool open_ = false, skipping_ = false, ordered_ = false;
    int bold_ = 0, number_ = 0;
    std::string link_;
};

} // namespace

std::vector<HelpBlock> ParseHelpPage(const std::string& html) {
    Reader reader;
    std::string text;
    for (size_t i = 0; i < html.size();) {
        const char c = html[i];
        if (c == '<') {
            reader.Text(text);
            text.clear();
            const size_t end = html.find('>', i);
            if (end == std::string::npos)
                break;
            const std::string tag = html.substr(i + 1, end - i - 1);
            if (tag.compare(0, 1, "!") != 0)
                reader.Tag(tag);
            i = end + 1;
        } else if (c == '&') {
            const size_t end = html.find(';', i);
            if (end != std::string::npos && end - i < 8) {
                text += Entity(html.substr(i + 1, end - i - 1));
                i = end + 1;
            } else {
                text += c;
                ++i;
            }
        } else {
            text += c;
            ++i;
        }
    }
    reader.Text(text);
    return reader.blocks;
}
