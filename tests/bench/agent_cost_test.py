#!/usr/bin/env python3
"""What agent_cost.py counts as the agent's, on a profile written by hand."""
import json
import os
import subprocess
import sys
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "agent_cost.py")

# The agent's function (compiled in another checkout of the tree) inlines a
# string operation and calls the library to grow a string; the viewer's
# function allocates for itself; operator new calls malloc; one allocation
# comes from library code alone.
PROFILE = """\
events: Ir
fl=(1) /elsewhere/build/../agent/a.cpp
fn=(1) Agent()
10 100
fi=(2) /usr/include/c++/12/bits/basic_string.h
20 50
cfl=(3) /usr/include/c++/12/bits/basic_string.tcc
cfn=(3) std::string::_M_create()
calls=2 30
10 999
fl=(4) /elsewhere/viewer/v.cpp
fn=(4) Viewer()
5 70
cfn=(5) operator new(unsigned long)'Viewer()
calls=3 0
5 300
fl=(3)
fn=(3)
1 40
cfn=(6) operator new(unsigned long)'std::string::_M_create()'Agent()
calls=2 0
1 200
fl=(7) ???
fn=(6)
0 30
cfn=(8) malloc'operator new(unsigned long)'std::string::_M_create()'Agent()
calls=2 0
0 100
fn=(9) malloc'0x0000000000001234'std::string::_M_create()
0 10
fn=(10) caller of nothing known
0 1
cfn=(9)
calls=1 0
0 10
fl=(11) /usr/include/c++/12/bits/stl_vector.h
fn=(11) List::Build()
3 7
fi=(12) /elsewhere/build/../viewlist/l.cpp
4 13
fn=(13) std::_Function_handler<Viewer()::lambda>::_M_invoke()
8 1000
fi=(15) /elsewhere/platform/p.h
8 500
fi=(14) /elsewhere/viewer/v.cpp
9 2000
"""


class AgentCostTest(unittest.TestCase):
    def test_counts_the_agents_own_work_only(self):
        with tempfile.TemporaryDirectory() as root:
            for name in ("agent/a.cpp", "viewer/v.cpp", "viewlist/l.cpp", "platform/p.h"):
                os.makedirs(os.path.join(root, os.path.dirname(name)), exist_ok=True)
                open(os.path.join(root, name), "w").close()
            profile = os.path.join(root, "callgrind.out")
            with open(profile, "w") as f:
                f.write(PROFILE)
            out = subprocess.run([sys.executable, SCRIPT, root, profile], check=True,
                                 capture_output=True, text=True).stdout
        # Own and inlined cost, not the inclusive cost of the call, also of
        # an agent function the compiler let begin with a library header's
        # code, but not of a library template the viewer instantiated, even
        # with an agent header's code inlined;
        # the allocations the agent asked the library for, each once; the
        # one with no caller from the tree apart.
        self.assertEqual(json.loads(out), {"instructions": 170, "allocations": 2, "unattributed": 1})


if __name__ == "__main__":
    unittest.main()
