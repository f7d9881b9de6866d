// The stand-in viewer's state as the checks set it up and as they print it
// when they fail.
#pragma once

#include "interfaces/guids.h"
#include "tests/support/guid_text.h"
#include "viewer/sim_control.h"

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <string>
#include <vector>

// The agent's entries in the viewer's agent data, by block, each from entry 0.
using AgentBlocks = std::map<LONG, std::vector<std::string>>;

// The viewer holds these entries of the agent's and nothing else, no key map
// either.
inline void StoreAgentBlocks(const AgentBlocks& blocks) {
    nuvsim::ClearAgentData();
    for (const auto& [block, entries] : blocks)
        for (size_t entry = 0; entry < entries.size(); ++entry)
            nuvsim::SetAgentData(GUID_AgentDataOwner, block, static_cast<LONG>(entry), entries[entry]);
}

// The agent's entries of one block, in entry order.
inline std::vector<std::string> AgentBlock(LONG block) {
    std::vector<std::string> entries;
    for (const nuvsim::AgentDataEntry& entry : nuvsim::AgentDataEntries())
        if (entry.owner == GUID_AgentDataOwner && entry.block == block) entries.push_back(entry.text);
    return entries;
}

// What the agent got wrong with the references the viewer handed it: the
// objects still held, then every release past zero. Empty when all came back:
//   EXPECT_THAT(ReferenceProblems(), IsEmpty());
inline std::vector<std::string> ReferenceProblems() {
    std::vector<std::string> problems = nuvsim::UnbalancedObjects();
    const std::vector<std::string> errors = nuvsim::ReferenceErrors();
    problems.insert(problems.end(), errors.begin(), errors.end());
    return problems;
}

// The references the agent holds on the viewer object of that name, e.g.
// "MarkupManager" or "AgentHelper#1"; 0 for one never made.
inline LONG References(const std::string& name) {
    for (const nuvsim::ObjectInfo& object : nuvsim::Objects())
        if (object.name == name) return object.references;
    return 0;
}

namespace nuvsim {

inline void PrintTo(const ObjectInfo& object, std::ostream* out) {
    *out << object.name << ": " << object.references;
}

inline void PrintTo(const LayerInfo& layer, std::ostream* out) {
    *out << layer.number << " \"" << layer.path << '"' << (layer.readOnly ? " read-only" : "");
}

inline void PrintTo(const DocumentInfo& document, std::ostream* out) {
    *out << "document " << document.handle << " kind " << document.kind << (document.open ? " open" : " closed")
         << ", layers " << testing::PrintToString(document.layers) << ", " << document.sinkRegistrations
         << " sink(s), " << document.saveHandlerRegistrations << " save handler(s)";
}

inline void PrintTo(const MarkupKindInfo& kind, std::ostream* out) {
    *out << '"' << kind.name << "\" flag " << kind.flag;
}

inline void PrintTo(const AgentDataEntry& entry, std::ostream* out) {
    *out << GuidText(entry.owner) << " block " << entry.block << " entry " << entry.entry << " \"" << entry.text
         << '"';
}

}  // namespace nuvsim
