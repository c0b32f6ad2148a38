// An ordered collection whose members may carry a unique text key. Members keep
// insertion order and stay at a stable address until removed, so callers may
// hold references while they work. Lookups that miss throw; nothing is made up.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace kelvarn::common {

// A lookup by a key that is not present or a position outside 1..Count.
class KeyNotFound : public std::out_of_range {
  public:
    using std::out_of_range::out_of_range;
};

// Add with a key that is already present.
class DuplicateKey : public std::invalid_argument {
  public:
    using std::invalid_argument::invalid_argument;
};

// Key comparisons: exact, or without regard to (ASCII) letter case.
struct ExactKeyLess {
    bool operator()(const std::string& a, const std::string& b) const { return a < b; }
};

struct CaseInsensitiveKeyLess {
    bool operator()(const std::string& a, const std::string& b) const {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
        });
    }
};

template <typename T, typename KeyLess = ExactKeyLess>
class KeyedCollection {
    struct Entry {
        std::string key;  // empty: stored without a key
        std::unique_ptr<T> value;
    };

    template <typename Value, typename Base>
    class Iter {
      public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = std::remove_const_t<Value>;
        using difference_type = std::ptrdiff_t;
        using pointer = Value*;
        using reference = Value&;
        Iter() = default;
        explicit Iter(Base it) : it_(it) {}
        reference operator*() const { return *it_->value; }
        pointer operator->() const { return it_->value.get(); }
        Iter& operator++() {
            ++it_;
            return *this;
        }
        Iter operator++(int) {
            Iter old = *this;
            ++it_;
            return old;
        }
        bool operator==(const Iter& o) const { return it_ == o.it_; }

      private:
        Base it_{};
    };

  public:
    using iterator = Iter<T, typename std::vector<Entry>::iterator>;
    using const_iterator = Iter<const T, typename std::vector<Entry>::const_iterator>;

    KeyedCollection() = default;
    KeyedCollection(const KeyedCollection& other) { *this = other; }
    KeyedCollection(KeyedCollection&&) noexcept = default;
    KeyedCollection& operator=(KeyedCollection&&) noexcept = default;
    KeyedCollection& operator=(const KeyedCollection& other) {
        if (this == &other) {
            return *this;
        }
        KeyedCollection copy;
        for (const Entry& e : other.entries_) {
            copy.Insert(e.key, std::make_unique<T>(*e.value));
        }
        *this = std::move(copy);
        return *this;
    }

    // Appends a default member under sKey (without a key when sKey is empty).
    // Throws DuplicateKey, adding nothing, when the key is already present.
    T& Add(const std::string& sKey = {}) { return Insert(sKey, std::make_unique<T>()); }
    T& Add(const std::string& sKey, T value) { return Insert(sKey, std::make_unique<T>(std::move(value))); }

    // The member under a key, or at a 1-based position; throws KeyNotFound.
    T& Item(const std::string& key) { return *entries_[PositionOf(key) - 1].value; }
    const T& Item(const std::string& key) const { return *entries_[PositionOf(key) - 1].value; }
    T& Item(std::int32_t position) { return *entries_[Checked(position) - 1].value; }
    const T& Item(std::int32_t position) const { return *entries_[Checked(position) - 1].value; }
    T& operator()(const std::string& key) { return Item(key); }
    const T& operator()(const std::string& key) const { return Item(key); }
    T& operator()(std::int32_t position) { return Item(position); }
    const T& operator()(std::int32_t position) const { return Item(position); }

    std::int32_t Count() const { return static_cast<std::int32_t>(entries_.size()); }
    bool Contains(const std::string& key) const { return !key.empty() && index_.count(key) != 0; }

    // The 1-based position of the member under key; throws KeyNotFound.
    std::int32_t PositionOf(const std::string& key) const {
        auto found = key.empty() ? index_.end() : index_.find(key);
        if (found == index_.end()) {
            throw KeyNotFound("no member with the key \"" + key + "\"");
        }
        for (std::size_t i = 0; i < entries_.size(); ++i) {
            if (entries_[i].value.get() == found->second) {
                return static_cast<std::int32_t>(i + 1);
            }
        }
        throw KeyNotFound("no member with the key \"" + key + "\"");
    }

    // The key a member is stored under (empty when it has none); throws KeyNotFound.
    const std::string& KeyAt(std::int32_t position) const { return entries_[Checked(position) - 1].key; }

    void Remove(const std::string& key) { RemoveAt(PositionOf(key)); }
    void Remove(std::int32_t position) { RemoveAt(Checked(position)); }
    void Clear() {
        index_.clear();
        entries_.clear();
    }

    iterator begin() { return iterator(entries_.begin()); }
    iterator end() { return iterator(entries_.end()); }
    const_iterator begin() const { return const_iterator(entries_.begin()); }
    const_iterator end() const { return const_iterator(entries_.end()); }

  private:
    T& Insert(const std::string& key, std::unique_ptr<T> value) {
        T* raw = value.get();
        if (!key.empty()) {
            if (!index_.emplace(key, raw).second) {
                throw DuplicateKey("a member with the key \"" + key + "\" is already present");
            }
        }
        try {
            entries_.push_back(Entry{key, std::move(value)});
        } catch (...) {
            if (!key.empty()) {
                index_.erase(key);
            }
            throw;
        }
        return *raw;
    }

    std::int32_t Checked(std::int32_t position) const {
        if (position < 1 || position > Count()) {
            throw KeyNotFound("position " + std::to_string(position) + " is outside 1 to " +
                              std::to_string(Count()));
        }
        return position;
    }

    void RemoveAt(std::int32_t position) {
        auto it = entries_.begin() + (position - 1);
        if (!it->key.empty()) {
            index_.erase(it->key);
        }
        entries_.erase(it);
    }

    std::vector<Entry> entries_;
    std::map<std::string, T*, KeyLess> index_;
};

}  // namespace kelvarn::common
