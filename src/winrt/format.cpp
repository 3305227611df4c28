// A formatter of our own instead of msvcrt.dll's, which Windows 95 as first
// shipped does not have. It produces the same text as msvcrt.dll for the
// conversions it accepts; anything else is copied as it stands, so an
// unexpected format shows up in the text instead of reading a wrong argument.
#include "format.h"

namespace {

class Output {
  public:
    Output(char* buffer, size_t size) : m_buffer(buffer), m_size(size) {}
    void Put(char c) {
        if (m_length + 1 < m_size)
            m_buffer[m_length] = c;
        ++m_length;
    }
    void Repeat(char c, int count) {
        for (; count > 0; --count)
            Put(c);
    }
    int Finish() {
        if (m_size)
            m_buffer[m_length < m_size ? m_length : m_size - 1] = '\0';
        return static_cast<int>(m_length);
    }

  private:
    char* m_buffer;
    size_t m_size;
    size_t m_length = 0;
};

struct Spec {
    bool left = false;
    bool zero = false;
    int width = 0;
    int precision = -1;
};

int ReadNumber(const char*& at, va_list& arguments) {
    if (*at == '*') {
        ++at;
        return va_arg(arguments, int);
    }
    int value = 0;
    while (*at >= '0' && *at <= '9')
        value = value * 10 + (*at++ - '0');
    return value;
}

// digits holds the number's digits, sign the character before them (or 0).
void PutNumber(Output& out, const Spec& spec, char sign, const char* digits, int count) {
    int shown = count;
    if (spec.precision >= 0 && spec.precision > count)
        shown = spec.precision;
    if (spec.precision == 0 && count == 1 && digits[0] == '0')
        shown = count = 0;
    int padding = spec.width - shown - (sign ? 1 : 0);
    bool zeroPad = spec.zero && !spec.left && spec.precision < 0;
    if (!spec.left && !zeroPad)
        out.Repeat(' ', padding);
    if (sign)
        out.Put(sign);
    if (zeroPad)
        out.Repeat('0', padding);
    out.Repeat('0', shown - count);
    for (int i = 0; i < count; ++i)
        out.Put(digits[i]);
    if (spec.left)
        out.Repeat(' ', padding);
}

void PutUnsigned(Output& out, const Spec& spec, char sign, unsigned value, unsigned base,
                 bool upper) {
    const char* symbols = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    char reversed[16];
    int count = 0;
    do {
        reversed[count++] = symbols[value % base];
        value /= base;
    } while (value);
    char digits[16];
    for (int i = 0; i < count; ++i)
        digits[i] = reversed[count - 1 - i];
    PutNumber(out, spec, sign, digits, count);
}

void PutText(Output& out, const Spec& spec, const char* text) {
    if (!text)
        text = "(null)";
    int count = 0;
    while (text[count] && (spec.precision < 0 || count < spec.precision))
        ++count;
    if (!spec.left)
        out.Repeat(' ', spec.width - count);
    for (int i = 0; i < count; ++i)
        out.Put(text[i]);
    if (spec.left)
        out.Repeat(' ', spec.width - count);
}

} // namespace

int FormatText(char* buffer, size_t size, const char* format, va_list arguments) {
    Output out(buffer, size);
    va_list rest;
    va_copy(rest, arguments);
    for (const char* at = format; *at; ++at) {
        if (*at != '%') {
            out.Put(*at);
            continue;
        }
        const char* start = at++;
        Spec spec;
        for (;; ++at) {
            if (*at == '-')
                spec.left = true;
            else if (*at == '0')
                spec.zero = true;
            else
                break;
        }
        spec.width = ReadNumber(at, rest);
        if (spec.width < 0) {
            spec.left = true;
            spec.width = -spec.width;
        }
        if (*at == '.') {
            ++at;
            spec.precision = ReadNumber(at, rest);
        }
        while (*at == 'h' || *at == 'l')
            ++at;
        switch (*at) {
        case 'd':
        case 'i': {
            int value = va_arg(rest, int);
            unsigned long magnitude =
                value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
            PutUnsigned(out, spec, value < 0 ? '-' : 0, magnitude, 10, false);
            break;
        }
        case 'u':
            PutUnsigned(out, spec, 0, va_arg(rest, unsigned), 10, false);
            break;
        case 'x':
        case 'X':
            PutUnsigned(out, spec, 0, va_arg(rest, unsigned), 16, *at == 'X');
            break;
        case 'c':
            out.Repeat(' ', spec.left ? 0 : spec.width - 1);
            out.Put(static_cast<char>(va_arg(rest, int)));
            out.Repeat(' ', spec.left ? spec.width - 1 : 0);
            break;
        case 's':
            PutText(out, spec, va_arg(rest, const char*));
            break;
        case '%':
            out.Put('%');
            break;
        default:
            for (const char* c = start; c <= at && *c; ++c)
                out.Put(*c);
            if (!*at)
                --at;
            break;
        }
    }
    va_end(rest);
    return out.Finish();
}

extern "C" int __ms_vsnprintf(char* buffer, size_t size, const char* format, va_list arguments) {
    return FormatText(buffer, size, format, arguments);
}
