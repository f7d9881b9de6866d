// The stand-in viewer's state in the form the checks print when they fail.
#pragma once

#include "tests/support/guid_text.h"
#include "viewer/sim_control.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

// What the agent got wrong with the references the viewer handed it: the
// objects still held, then every release past zero. Empty when all came back:
//   EXPECT_THAT(ReferenceProblems(), IsEmpty());
inline std::vector<std::string> ReferenceProblems() {
    std::vector<std::string> problems = nuvsim::UnbalancedObjects();
    const std::vector<std::string> errors = nuvsim::ReferenceErrors();
    problems.insert(problems.end(), errors.begin(), errors.end());
    return problems;
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
