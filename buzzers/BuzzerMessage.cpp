#include "buzzers/BuzzerMessage.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

constexpr std::size_t kMaxMembers = 4;
constexpr std::size_t kMaxStringBytes = 64;

struct SValue {
    enum class EKind { String, Number, Null, Bool } kind = EKind::Null;
    std::string_view text;  // String: the characters between the quotes (no escapes allowed)
    double number = 0;
};

struct SMember {
    std::string_view key;
    SValue value;
};

// A reader of one flat JSON object: no nesting, no escapes, short strings. That is all the
// phones need, and it keeps a hostile message from costing more than one pass over 1 KB.
class CFlatObjectReader {
public:
    explicit CFlatObjectReader(std::string_view text) : text_(text) {}

    bool Read(std::array<SMember, kMaxMembers>& members, std::size_t& count)
    {
        count = 0;
        SkipBlanks();
        if (!Take('{'))
            return false;
        SkipBlanks();
        if (Take('}'))
            return AtEnd();
        for (;;) {
            if (count == members.size())
                return false;
            SMember& member = members[count++];
            SkipBlanks();
            if (!ReadString(member.key))
                return false;
            SkipBlanks();
            if (!Take(':'))
                return false;
            SkipBlanks();
            if (!ReadValue(member.value))
                return false;
            SkipBlanks();
            if (Take('}'))
                return AtEnd();
            if (!Take(','))
                return false;
        }
    }

private:
    bool AtEnd()
    {
        SkipBlanks();
        return position_ == text_.size();
    }
    void SkipBlanks()
    {
        while (position_ < text_.size() &&
               (text_[position_] == ' ' || text_[position_] == '\t' || text_[position_] == '\n' ||
                text_[position_] == '\r'))
            ++position_;
    }
    bool Take(char c)
    {
        if (position_ < text_.size() && text_[position_] == c) {
            ++position_;
            return true;
        }
        return false;
    }
    bool TakeWord(std::string_view word)
    {
        if (text_.substr(position_, word.size()) != word)
            return false;
        position_ += word.size();
        return true;
    }
    bool ReadString(std::string_view& out)
    {
        if (!Take('"'))
            return false;
        const std::size_t start = position_;
        while (position_ < text_.size() && text_[position_] != '"') {
            const auto c = static_cast<unsigned char>(text_[position_]);
            if (c < 0x20 || c >= 0x7F || c == '\\' || position_ - start >= kMaxStringBytes)
                return false;
            ++position_;
        }
        if (position_ == text_.size())
            return false;
        out = text_.substr(start, position_ - start);
        ++position_;
        return true;
    }
    bool ReadNumber(double& out)
    {
        // JSON's grammar: -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
        const std::size_t start = position_;
        Take('-');
        if (Take('0')) {
        } else if (!Digits()) {
            return false;
        }
        if (Take('.') && !Digits())
            return false;
        if (Take('e') || Take('E')) {
            if (!Take('+'))
                Take('-');
            if (!Digits())
                return false;
        }
        const char* first = text_.data() + start;
        const char* last = text_.data() + position_;
        const auto [end, error] = std::from_chars(first, last, out);
        return error == std::errc() && end == last && std::isfinite(out);
    }
    bool Digits()
    {
        const std::size_t start = position_;
        while (position_ < text_.size() && text_[position_] >= '0' && text_[position_] <= '9')
            ++position_;
        return position_ > start;
    }
    bool ReadValue(SValue& value)
    {
        if (position_ >= text_.size())
            return false;
        const char c = text_[position_];
        if (c == '"') {
            value.kind = SValue::EKind::String;
            return ReadString(value.text);
        }
        if (c == 'n') {
            value.kind = SValue::EKind::Null;
            return TakeWord("null");
        }
        if (c == 't' || c == 'f') {
            value.kind = SValue::EKind::Bool;
            return TakeWord(c == 't' ? "true" : "false");
        }
        value.kind = SValue::EKind::Number;
        return ReadNumber(value.number);
    }

    std::string_view text_;
    std::size_t position_ = 0;
};

// The members by name; a message with a member twice, or with one not asked for, is malformed.
class CMembers {
public:
    CMembers(const std::array<SMember, kMaxMembers>& members, std::size_t count) : members_(members), count_(count)
    {
    }
    const SValue* Find(std::string_view key) const
    {
        const SValue* found = nullptr;
        for (std::size_t i = 0; i < count_; ++i) {
            if (members_[i].key == key) {
                if (found != nullptr)
                    return nullptr;
                found = &members_[i].value;
            }
        }
        return found;
    }
    bool HasExactly(std::size_t count) const { return count_ == count; }

private:
    const std::array<SMember, kMaxMembers>& members_;
    std::size_t count_;
};

std::optional<PhoneMessage> ShapeOf(const CMembers& members)
{
    const SValue* type = members.Find("type");
    if (type == nullptr || type->kind != SValue::EKind::String)
        return std::nullopt;
    if (type->text == "hello") {
        const SValue* side = members.Find("side");
        if (!members.HasExactly(2) || side == nullptr || side->kind != SValue::EKind::String)
            return std::nullopt;
        if (side->text == "left")
            return SHelloMessage{0};
        if (side->text == "right")
            return SHelloMessage{1};
        return std::nullopt;
    }
    if (type->text == "pong") {
        const SValue* id = members.Find("id");
        const SValue* phone = members.Find("p");
        if (!members.HasExactly(3) || id == nullptr || phone == nullptr || id->kind != SValue::EKind::Number ||
            phone->kind != SValue::EKind::Number)
            return std::nullopt;
        if (id->number < 0 || id->number > 4294967295.0 || std::floor(id->number) != id->number)
            return std::nullopt;
        return SPongMessage{static_cast<std::uint32_t>(id->number), phone->number};
    }
    if (type->text == "press") {
        const SValue* time = members.Find("t");
        if (!members.HasExactly(2) || time == nullptr)
            return std::nullopt;
        if (time->kind == SValue::EKind::Null)
            return SPressMessage{};
        if (time->kind != SValue::EKind::Number)
            return std::nullopt;
        return SPressMessage{time->number};
    }
    return std::nullopt;
}

// A JSON string of any UTF-8 text.
std::string Quoted(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(c);
        } else if (byte < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            out += escape;
        } else {
            out.push_back(c);
        }
    }
    out.push_back('"');
    return out;
}

std::string Number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", std::isfinite(value) ? value : 0.0);
    return text;
}

}  // namespace

std::optional<PhoneMessage> ParsePhoneMessage(std::string_view text)
{
    if (text.size() > kMaxBuzzerMessageBytes)
        return std::nullopt;
    std::array<SMember, kMaxMembers> members{};
    std::size_t count = 0;
    if (!CFlatObjectReader(text).Read(members, count))
        return std::nullopt;
    return ShapeOf(CMembers(members, count));
}

std::string WelcomeMessage(std::string_view leftName, std::string_view rightName)
{
    return R"({"type":"welcome","left":)" + Quoted(leftName) + R"(,"right":)" +
           Quoted(rightName) + "}";
}

std::string PingMessage(std::uint32_t id)
{
    return R"({"type":"ping","id":)" + std::to_string(id) + "}";
}

std::string SyncMessage(double offsetMs)
{
    return R"({"type":"sync","offset":)" + Number(offsetMs) + "}";
}

std::string ResultMessage(EPressOutcome outcome)
{
    const char* text = outcome == EPressOutcome::Won ? "won" : outcome == EPressOutcome::Late ? "late" : "refused";
    return std::string(R"({"type":"result","outcome":")") + text + "\"}";
}
