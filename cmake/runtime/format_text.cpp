// FormatText: printf formatting in plain code (see format_text.h).
#include "cmake/runtime/format_text.h"

namespace {

// The output so far: characters beyond the buffer are counted but not stored.
struct Sink {
    char* out;
    size_t room;  // characters that can still be stored, not counting the final zero
    size_t length;

    void Put(char c)
    {
        if (length < room) out[length] = c;
        ++length;
    }
    void Repeat(char c, int count)
    {
        for (int i = 0; i < count; ++i) Put(c);
    }
};

enum class Size { Int, Char, Short, Long, LongLong, Pointer };

struct Conversion {
    bool left = false;
    bool zero = false;
    int width = 0;
    int precision = -1;  // none given
    Size size = Size::Int;
};

int ReadNumber(const char** p)
{
    int n = 0;
    while (**p >= '0' && **p <= '9') {
        if (n < 100000) n = n * 10 + (**p - '0');
        ++*p;
    }
    return n;
}

void PutText(Sink* sink, const Conversion& conv, const char* text, int length)
{
    int pad = conv.width > length ? conv.width - length : 0;
    if (!conv.left) sink->Repeat(' ', pad);
    for (int i = 0; i < length; ++i) sink->Put(text[i]);
    if (conv.left) sink->Repeat(' ', pad);
}

void PutNumber(Sink* sink, const Conversion& conv, unsigned long long magnitude, bool negative, unsigned base,
               bool upper)
{
    const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    char text[24];
    int count = 0;
    while (magnitude != 0) {
        text[count++] = digits[magnitude % base];
        magnitude /= base;
    }
    int least = conv.precision < 0 ? 1 : conv.precision;
    int zeros = least > count ? least - count : 0;
    int body = count + zeros + (negative ? 1 : 0);
    int pad = conv.width > body ? conv.width - body : 0;
    if (conv.zero && !conv.left && conv.precision < 0) {
        zeros += pad;
        pad = 0;
    }
    if (!conv.left) sink->Repeat(' ', pad);
    if (negative) sink->Put('-');
    sink->Repeat('0', zeros);
    while (count > 0) sink->Put(text[--count]);
    if (conv.left) sink->Repeat(' ', pad);
}

long long SignedArgument(Size size, va_list* args)
{
    switch (size) {
    case Size::Char: return static_cast<signed char>(va_arg(*args, int));
    case Size::Short: return static_cast<short>(va_arg(*args, int));
    case Size::Long: return va_arg(*args, long);
    case Size::LongLong: return va_arg(*args, long long);
    case Size::Pointer: return static_cast<long long>(va_arg(*args, ptrdiff_t));
    default: return va_arg(*args, int);
    }
}

unsigned long long UnsignedArgument(Size size, va_list* args)
{
    switch (size) {
    case Size::Char: return static_cast<unsigned char>(va_arg(*args, unsigned));
    case Size::Short: return static_cast<unsigned short>(va_arg(*args, unsigned));
    case Size::Long: return va_arg(*args, unsigned long);
    case Size::LongLong: return va_arg(*args, unsigned long long);
    case Size::Pointer: return va_arg(*args, size_t);
    default: return va_arg(*args, unsigned);
    }
}

// One conversion from just after its '%'; returns where the format goes on, or nullptr when the
// sequence is not one of ours (the caller then copies it as it stands).
const char* Convert(Sink* sink, const char* p, va_list* args)
{
    Conversion conv;
    for (;; ++p) {
        if (*p == '-') conv.left = true;
        else if (*p == '0') conv.zero = true;
        else break;
    }
    if (*p == '*') {
        conv.width = va_arg(*args, int);
        if (conv.width < 0) {
            conv.left = true;
            conv.width = conv.width < -100000 ? 100000 : -conv.width;
        }
        ++p;
    } else {
        conv.width = ReadNumber(&p);
    }
    if (*p == '.') {
        ++p;
        if (*p == '*') {
            conv.precision = va_arg(*args, int);
            ++p;
        } else {
            conv.precision = ReadNumber(&p);
        }
    }
    if (p[0] == 'h' && p[1] == 'h') {
        conv.size = Size::Char;
        p += 2;
    } else if (p[0] == 'h') {
        conv.size = Size::Short;
        p += 1;
    } else if (p[0] == 'l' && p[1] == 'l') {
        conv.size = Size::LongLong;
        p += 2;
    } else if (p[0] == 'l') {
        conv.size = Size::Long;
        p += 1;
    } else if (p[0] == 'I' && p[1] == '6' && p[2] == '4') {
        conv.size = Size::LongLong;
        p += 3;
    } else if (p[0] == 'z' || p[0] == 't') {
        conv.size = Size::Pointer;
        p += 1;
    } else if (p[0] == 'j') {
        conv.size = Size::LongLong;
        p += 1;
    }
    switch (*p) {
    case 'd':
    case 'i': {
        long long value = SignedArgument(conv.size, args);
        unsigned long long magnitude = value < 0 ? 0ull - static_cast<unsigned long long>(value) : value;
        PutNumber(sink, conv, magnitude, value < 0, 10, false);
        break;
    }
    case 'u': PutNumber(sink, conv, UnsignedArgument(conv.size, args), false, 10, false); break;
    case 'x': PutNumber(sink, conv, UnsignedArgument(conv.size, args), false, 16, false); break;
    case 'X': PutNumber(sink, conv, UnsignedArgument(conv.size, args), false, 16, true); break;
    case 'p': {
        Conversion pointer;
        pointer.precision = 2 * static_cast<int>(sizeof(void*));
        PutNumber(sink, pointer, reinterpret_cast<size_t>(va_arg(*args, void*)), false, 16, true);
        break;
    }
    case 'c': {
        char c = static_cast<char>(va_arg(*args, int));
        PutText(sink, conv, &c, 1);
        break;
    }
    case 's': {
        const char* text = va_arg(*args, const char*);
        if (text == nullptr) text = "(null)";
        int length = 0;
        while ((conv.precision < 0 || length < conv.precision) && text[length] != '\0') ++length;
        PutText(sink, conv, text, length);
        break;
    }
    case '%': sink->Put('%'); break;
    case 'f': case 'F': case 'e': case 'E': case 'g': case 'G': case 'a': case 'A':
        (void)va_arg(*args, double);
        PutText(sink, conv, "?", 1);
        break;
    default: return nullptr;
    }
    return p + 1;
}

}  // namespace

int FormatText(char* out, size_t size, const char* format, va_list args)
{
    Sink sink{out, size == 0 ? 0 : size - 1, 0};
    va_list rest;
    va_copy(rest, args);
    const char* p = format;
    while (*p != '\0') {
        if (*p != '%') {
            sink.Put(*p++);
            continue;
        }
        const char* next = Convert(&sink, p + 1, &rest);
        if (next == nullptr) {
            sink.Put(*p++);
            continue;
        }
        p = next;
    }
    va_end(rest);
    if (size != 0) out[sink.length < sink.room ? sink.length : sink.room] = '\0';
    return static_cast<int>(sink.length);
}
