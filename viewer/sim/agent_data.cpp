#include "viewer/sim/agent_data.h"

#include "platform/com/result.h"
#include "viewer/sim/call_text.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>

namespace nuvsim {
namespace {

constexpr char kFileHeader[] = "NUVSIM-AGENT-DATA 1";
constexpr HRESULT kFileNotFound = static_cast<HRESULT>(0x80070002L);
constexpr HRESULT kInvalidData = static_cast<HRESULT>(0x8007000DL);
constexpr HRESULT kWriteFault = static_cast<HRESULT>(0x8007001DL);

// Every byte outside the printable ASCII range, the blank and "%" become %XX,
// so one entry stays one line whatever it holds.
std::string Escape(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > 0x20 && byte < 0x7F && byte != '%') {
            out += c;
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", byte);
            out += hex;
        }
    }
    return out;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool Unescape(const std::string& text, std::string* out) {
    out->clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            *out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return false;
        const int high = HexValue(text[i + 1]);
        const int low = HexValue(text[i + 2]);
        if (high < 0 || low < 0) return false;
        *out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return true;
}

bool ParseGuid(const std::string& text, GUID* guid) {
    unsigned long data1 = 0;
    unsigned data2 = 0, data3 = 0, bytes[8] = {};
    int consumed = 0;
    const int fields = std::sscanf(text.c_str(), "{%8lx-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x}%n", &data1, &data2, &data3,
                                   &bytes[0], &bytes[1], &bytes[2], &bytes[3], &bytes[4], &bytes[5], &bytes[6],
                                   &bytes[7], &consumed);
    if (fields != 11 || static_cast<size_t>(consumed) != text.size()) return false;
    guid->Data1 = static_cast<decltype(guid->Data1)>(data1);
    guid->Data2 = static_cast<decltype(guid->Data2)>(data2);
    guid->Data3 = static_cast<decltype(guid->Data3)>(data3);
    for (int i = 0; i < 8; ++i) guid->Data4[i] = static_cast<BYTE>(bytes[i]);
    return true;
}

bool ParseLong(std::istringstream& in, LONG* value) {
    long long parsed = 0;
    if (!(in >> parsed) || parsed < INT32_MIN || parsed > INT32_MAX) return false;
    *value = static_cast<LONG>(parsed);
    return true;
}

// A line without its end, CR LF taken as LF.
bool ReadLine(std::istream& in, std::string* line) {
    if (!std::getline(in, *line)) return false;
    if (!line->empty() && line->back() == '\r') line->pop_back();
    return true;
}

}  // namespace

bool AgentData::Address::operator<(const Address& other) const {
    const int ownerOrder = std::memcmp(&owner, &other.owner, sizeof(GUID));
    if (ownerOrder != 0) return ownerOrder < 0;
    if (block != other.block) return block < other.block;
    return entry < other.entry;
}

namespace {

// How far past what a row already holds a new number may reach and still be
// kept in rows.
constexpr LONG kRowSlack = 1024;

bool FitsRows(LONG index, size_t held) {
    return index >= 0 && static_cast<size_t>(index) <= held * 2 + kRowSlack;
}

bool OwnerBefore(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) < 0; }

}  // namespace

AgentData::OwnerData* AgentData::OwnerOf(const GUID& owner) {
    for (OwnerData& data : m_owners) {
        if (IsEqualGUID(data.owner, owner)) return &data;
    }
    return nullptr;
}

const AgentData::OwnerData* AgentData::OwnerOf(const GUID& owner) const {
    return const_cast<AgentData*>(this)->OwnerOf(owner);
}

const std::string* AgentData::Find(const GUID& owner, LONG block, LONG entry) const {
    if (const OwnerData* data = OwnerOf(owner); data && block >= 0 && entry >= 0) {
        const auto b = static_cast<size_t>(block);
        const auto e = static_cast<size_t>(entry);
        if (b < data->blocks.size() && e < data->blocks[b].size() && data->blocks[b][e]) return &*data->blocks[b][e];
    }
    if (m_overflow.empty()) return nullptr;
    const auto found = m_overflow.find(Address{owner, block, entry});
    return found == m_overflow.end() ? nullptr : &found->second;
}

void AgentData::Store(const GUID& owner, LONG block, LONG entry, std::string text) {
    if (block >= m_blockEnd) m_blockEnd = block < std::numeric_limits<LONG>::max() ? block + 1 : block;
    // An address kept in the overflow stays there, so it is never held twice.
    if (!m_overflow.empty()) {
        const auto found = m_overflow.find(Address{owner, block, entry});
        if (found != m_overflow.end()) {
            found->second = std::move(text);
            return;
        }
    }
    OwnerData* data = OwnerOf(owner);
    const size_t blocksHeld = data ? data->blocks.size() : 0;
    if (FitsRows(block, blocksHeld)) {
        const size_t entriesHeld =
            static_cast<size_t>(block) < blocksHeld ? data->blocks[static_cast<size_t>(block)].size() : 0;
        if (FitsRows(entry, entriesHeld)) {
            if (!data) {
                const auto at = std::find_if(m_owners.begin(), m_owners.end(),
                                             [&](const OwnerData& held) { return OwnerBefore(owner, held.owner); });
                data = &*m_owners.insert(at, OwnerData{owner, {}});
            }
            auto& blocks = data->blocks;
            if (static_cast<size_t>(block) >= blocks.size()) blocks.resize(static_cast<size_t>(block) + 1);
            auto& entries = blocks[static_cast<size_t>(block)];
            if (static_cast<size_t>(entry) >= entries.size()) entries.resize(static_cast<size_t>(entry) + 1);
            entries[static_cast<size_t>(entry)] = std::move(text);
            return;
        }
    }
    m_overflow[Address{owner, block, entry}] = std::move(text);
}

template <class Visit>
void AgentData::ForEach(Visit visit) const {
    auto overflow = m_overflow.begin();
    // The overflow entries ahead of address, then nothing more of it.
    const auto overflowBefore = [&](const Address* address) {
        for (; overflow != m_overflow.end() && (!address || overflow->first < *address); ++overflow) {
            visit(overflow->first.owner, overflow->first.block, overflow->first.entry, overflow->second);
        }
    };
    for (const OwnerData& data : m_owners) {
        for (size_t b = 0; b < data.blocks.size(); ++b) {
            const auto& entries = data.blocks[b];
            for (size_t e = 0; e < entries.size(); ++e) {
                if (!entries[e]) continue;
                const Address address{data.owner, static_cast<LONG>(b), static_cast<LONG>(e)};
                overflowBefore(&address);
                visit(address.owner, address.block, address.entry, *entries[e]);
            }
        }
    }
    overflowBefore(nullptr);
}

LONG AgentData::BlockFor(LONG first, LONG second) {
    const auto found = m_blocks.find({first, second});
    if (found != m_blocks.end()) return found->second;
    LONG next = m_blockEnd;
    for (const auto& [key, block] : m_blocks) next = std::max(next, block + 1);
    m_blocks[{first, second}] = next;
    return next;
}

void AgentData::Map(LONG first, LONG second, LONG block) { m_blocks[{first, second}] = block; }

std::vector<AgentDataEntry> AgentData::Entries() const {
    std::vector<AgentDataEntry> out;
    ForEach([&](const GUID& owner, LONG block, LONG entry, const std::string& text) {
        out.push_back({owner, block, entry, text});
    });
    return out;
}

std::vector<DocumentKeyMapping> AgentData::Mappings() const {
    std::vector<DocumentKeyMapping> out;
    for (const auto& [key, block] : m_blocks) out.push_back({key.first, key.second, block});
    return out;
}

HRESULT AgentData::SaveTo(const std::string& path) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    RETURN_HR_IF(kFileNotFound, !out);
    out << kFileHeader << '\n';
    for (const auto& [key, block] : m_blocks) out << "key " << key.first << ' ' << key.second << ' ' << block << '\n';
    ForEach([&](const GUID& owner, LONG block, LONG entry, const std::string& text) {
        out << "entry " << GuidText(owner) << ' ' << block << ' ' << entry << " =" << Escape(text) << '\n';
    });
    out.flush();
    return out ? S_OK : kWriteFault;
}

HRESULT AgentData::LoadFrom(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    RETURN_HR_IF(kFileNotFound, !in);
    std::string line;
    RETURN_HR_IF(kInvalidData, !ReadLine(in, &line) || line != kFileHeader);
    AgentData loaded;
    while (ReadLine(in, &line)) {
        if (line.empty()) continue;
        std::istringstream fields(line);
        std::string kind;
        fields >> kind;
        if (kind == "key") {
            LONG first = 0, second = 0, block = 0;
            RETURN_HR_IF(kInvalidData, !ParseLong(fields, &first) || !ParseLong(fields, &second) ||
                                           !ParseLong(fields, &block));
            loaded.Map(first, second, block);
            continue;
        }
        RETURN_HR_IF(kInvalidData, kind != "entry");
        std::string ownerText;
        GUID owner{};
        LONG block = 0, entry = 0;
        RETURN_HR_IF(kInvalidData, !(fields >> ownerText) || !ParseGuid(ownerText, &owner) ||
                                       !ParseLong(fields, &block) || !ParseLong(fields, &entry));
        std::string rest;
        std::getline(fields, rest);
        std::string text;
        RETURN_HR_IF(kInvalidData, rest.rfind(" =", 0) != 0 || !Unescape(rest.substr(2), &text));
        loaded.Store(owner, block, entry, std::move(text));
    }
    *this = std::move(loaded);
    return S_OK;
}

}  // namespace nuvsim
