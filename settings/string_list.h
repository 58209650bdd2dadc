#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

/// A list of byte strings, unsorted, duplicates allowed. The strings' bytes are kept one after
/// another in one buffer, with where each one ends, so a list of many short strings costs one
/// allocation for their bytes and four bytes per string, not one allocation and a string object
/// per string: a hundred thousand stored colours load in a fraction of the time and memory.
class TStringList
{
public:
    class const_iterator
    {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = std::string_view;

        const_iterator() = default;
        std::string_view operator*() const { return (*m_list)[m_index]; }
        std::string_view operator[](difference_type n) const
        {
            return (*m_list)[m_index + static_cast<std::size_t>(n)];
        }
        const_iterator& operator++()
        {
            ++m_index;
            return *this;
        }
        const_iterator operator++(int)
        {
            const_iterator was = *this;
            ++m_index;
            return was;
        }
        const_iterator& operator--()
        {
            --m_index;
            return *this;
        }
        const_iterator operator--(int)
        {
            const_iterator was = *this;
            --m_index;
            return was;
        }
        const_iterator& operator+=(difference_type n)
        {
            m_index += static_cast<std::size_t>(n);
            return *this;
        }
        const_iterator& operator-=(difference_type n) { return *this += -n; }
        friend const_iterator operator+(const_iterator i, difference_type n) { return i += n; }
        friend const_iterator operator+(difference_type n, const_iterator i) { return i += n; }
        friend const_iterator operator-(const_iterator i, difference_type n) { return i -= n; }
        friend difference_type operator-(const const_iterator& a, const const_iterator& b)
        {
            return static_cast<difference_type>(a.m_index)
                - static_cast<difference_type>(b.m_index);
        }
        friend bool operator==(const const_iterator& a, const const_iterator& b)
        {
            return a.m_index == b.m_index;
        }
        friend auto operator<=>(const const_iterator& a, const const_iterator& b)
        {
            return a.m_index <=> b.m_index;
        }

    private:
        friend class TStringList;
        const_iterator(const TStringList* list, std::size_t index)
            : m_list(list)
            , m_index(index)
        {
        }
        const TStringList* m_list = nullptr;
        std::size_t m_index = 0;
    };
    using iterator = const_iterator;
    using value_type = std::string_view;
    using size_type = std::size_t;

    TStringList() = default;
    TStringList(std::initializer_list<std::string_view> strings);
    /// The strings from first to last.
    template <typename Iterator> TStringList(Iterator first, Iterator last)
    {
        for (; first != last; ++first) {
            push_back(*first);
        }
    }

    std::size_t size() const { return m_ends.size(); }
    bool empty() const { return m_ends.empty(); }
    /// The string at index (from 0); valid until the list changes.
    std::string_view operator[](std::size_t index) const
    {
        const std::size_t begin = index == 0 ? 0 : m_ends[index - 1];
        return std::string_view(m_bytes).substr(begin, m_ends[index] - begin);
    }
    const_iterator begin() const { return { this, 0 }; }
    const_iterator end() const { return { this, size() }; }

    /// Room for strings more strings holding bytes more bytes in all, so that adding them
    /// allocates nothing. Reserved room that is never filled costs address space only.
    void reserve(std::size_t strings, std::size_t bytes);
    /// Adds text at the end. Throws std::length_error when the list would hold 4 GiB of bytes.
    void push_back(std::string_view text);
    void clear();

    friend bool operator==(const TStringList& a, const TStringList& b)
    {
        return a.m_ends == b.m_ends && a.m_bytes == b.m_bytes;
    }

private:
    std::string m_bytes;
    std::vector<std::uint32_t> m_ends;
};

/// The list as its strings in quotes, for test failure messages.
std::ostream& operator<<(std::ostream& out, const TStringList& list);
