// A name with a count after it ("Markup12"), kept as one text: the names of a
// view list are made by the ten thousand, each with a number a little above
// the last one, which is counted on in place instead of written anew.
#pragma once

#include <charconv>
#include <cstddef>
#include <iterator>
#include <limits>
#include <string>
#include <utility>

template <typename Char>
class NumberedName {
public:
    // The name alone.
    static constexpr long kUnnumbered = -1;

    explicit NumberedName(std::basic_string<Char> name) : m_text(std::move(name)), m_nNameLength(m_text.size()) {}

    // The name with number after it in decimal; the name alone for
    // kUnnumbered. Stays until the next call.
    const std::basic_string<Char>& For(long number) {
        // A list's names count on by one or two: mostly only the last digit
        // changes, which is done here; anything else further on.
        if (number > m_nNumber && number - m_nNumber < 10 && m_nNumber >= 0) {
            Char& last = m_text.back();
            const long digit = (last - '0') + (number - m_nNumber);
            if (digit < 10) {
                last = static_cast<Char>('0' + digit);
                m_nNumber = number;
                return m_text;
            }
        }
        return Renumbered(number);
    }

private:
    // A carry into the digits before the last, or a number written anew.
    [[gnu::noinline]] const std::basic_string<Char>& Renumbered(long number) {
        if (number > m_nNumber && number - m_nNumber < 10 && m_nNumber >= 0) {
            size_t at = m_text.size() - 1;
            m_text[at] = static_cast<Char>(m_text[at] + (number - m_nNumber) - 10);
            while (at > m_nNameLength && m_text[at - 1] == '9') m_text[--at] = '0';
            if (at == m_nNameLength) m_text.insert(m_nNameLength, 1, Char('1'));
            else ++m_text[at - 1];
        } else {
            m_text.resize(m_nNameLength);
            if (number != kUnnumbered) {
                // Digits are the same in every code page, narrow or wide.
                char digits[std::numeric_limits<long>::digits10 + 3];
                const char* end = std::to_chars(std::begin(digits), std::end(digits), number).ptr;
                m_text.append(static_cast<const char*>(digits), end);
            }
        }
        m_nNumber = number;
        return m_text;
    }

    std::basic_string<Char> m_text;  // the name, then the number's digits
    size_t m_nNameLength;
    long m_nNumber = kUnnumbered;
};
