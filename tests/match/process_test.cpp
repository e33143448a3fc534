#include "tests/match/fixtures.h"

using namespace fixture;

namespace {

std::string run(std::unique_ptr<Macromodel> m) {
  testing::internal::CaptureStdout();
  Patternmatch(m.release()).pattern_match_process();
  return testing::internal::GetCapturedStdout();
}

const std::string kFound =
    " gate match done \n Begin Related_pin_recognition method! \n Begin Related_pin_recognition method! \n"
    " input_output match done \n success..................................... \n\n";

Network buf() { return Network({{"INV", "mid", {"IN"}}, {"INV", "OUT", {"mid"}}}); }

int results() {
  int n = 0;
  for (RESULTLIST* r = ResultHead; r; r = r->next) ++n;
  return n;
}

}  // namespace

TEST(PatternMatch, BufferReplacesTwoOfThreeInverters) {
  Network flat({{"INV", "b", {"a"}}, {"INV", "c", {"b"}}, {"INV", "d", {"c"}}});
  NODELIST* a = flat.node("a");
  NODELIST* c = flat.node("c");
  flat_circuit(flat);
  EXPECT_EQ(run(subcircuit("BUF", buf(), {"IN"}, {"OUT"})),
            "first gate name:gate0 p logic: INV n logic: INV\n" + kFound);
  ASSERT_EQ(results(), 1);
  EXPECT_STREQ(ResultHead->libname, "BUF");
  EXPECT_EQ(names(ResultHead->input_list), (std::vector<std::string>{"IN:a"}));
  EXPECT_EQ(names(ResultHead->output_list), (std::vector<std::string>{"OUT:c"}));
  EXPECT_EQ(hash_gate_list[0], nullptr);
  EXPECT_EQ(hash_gate_list[1], nullptr);
  EXPECT_NE(hash_gate_list[2], nullptr);
  EXPECT_EQ(a->input_of_gate_list, nullptr);
  EXPECT_EQ(c->output_of_gate_name, nullptr);
  EXPECT_EQ(names(c->input_of_gate_list), (std::vector<std::string>{"gate2"}));
}

TEST(PatternMatch, EveryOccurrenceInOneCall) {
  // Two buffer chains into a NAND2, and a net shared with an outside gate.
  flat_circuit(Network({{"INV", "n3", {"a1"}},
                        {"INV", "n4", {"n3"}},
                        {"INV", "n5", {"a2"}},
                        {"INV", "n6", {"n5"}},
                        {"NAND2", "z", {"n4", "n6"}},
                        {"INV", "k", {"a1"}}}));
  EXPECT_EQ(run(subcircuit("BUF", buf(), {"IN"}, {"OUT"})),
            "first gate name:gate0 p logic: INV n logic: INV\n" + kFound + kFound);
  ASSERT_EQ(results(), 2);
  EXPECT_EQ(names(ResultHead->input_list), (std::vector<std::string>{"IN:a1"}));
  EXPECT_EQ(names(ResultHead->next->input_list), (std::vector<std::string>{"IN:a2"}));
  for (int i : {0, 1, 2, 3}) EXPECT_EQ(hash_gate_list[i], nullptr);
  EXPECT_EQ(names(flat_get_node("a1")->input_of_gate_list), (std::vector<std::string>{"gate5"}));

  // A second definition is searched in what the first one left.
  EXPECT_EQ(run(subcircuit("B2", buf(), {"IN"}, {"OUT"})), "first gate name:gate0 p logic: INV n logic: INV\n");
  EXPECT_EQ(results(), 2);
}

TEST(PatternMatch, FirstGateTypeNowhere) {
  flat_circuit(Network({{"INV", "b", {"a"}}}));
  auto m = subcircuit("N", Network({{"NAND2", "y", {"A", "B"}}}), {"A", "B"}, {"y"});
  EXPECT_EQ(run(std::move(m)), "first gate name:gate0 p logic: NOR2 n logic: NAND2\n");
  EXPECT_EQ(ResultHead, nullptr);
  EXPECT_EQ(run(subcircuit("E", Network({}), {}, {})), "first gate name: none, no gate to search for\n");
}

TEST(PatternMatch, PinsFoundThroughRelationGroup) {
  flat_circuit(Network({{"NAND2", "y", {"a", "b"}}, {"INV", "w", {"y"}}}));
  auto m = subcircuit("N", Network({{"NAND2", "Y", {"A", "B"}}}), {"A", "B"}, {"Y"});
  std::string open_pin = "Can find this pinname use the relation_pin method!\nRelation_pin method failed! \n";
  EXPECT_EQ(run(std::move(m)),
            "first gate name:gate0 p logic: NOR2 n logic: NAND2\n gate match done \n Unfound pin: A\n" + open_pin +
                " Unfound pin: B\n" + open_pin +
                " Begin Related_pin_recognition method! \n Begin Related_pin_recognition method! \n"
                " input_output match done \n success..................................... \n\n");
  ASSERT_EQ(results(), 1);
  EXPECT_EQ(names(ResultHead->input_list), (std::vector<std::string>{"A:a", "B:b"}));
  EXPECT_EQ(names(ResultHead->output_list), (std::vector<std::string>{"Y:y"}));
}

TEST(PatternMatch, FirstTerminalIsAnOutput) {
  flat_circuit(Network({{"INV", "n1", {"a11"}}, {"INV", "n2", {"b12"}}, {"NAND2", "y13", {"n1", "n2"}}}));
  // The first terminal stays among the inputs although it is an output.
  EXPECT_EQ(run(subcircuit("INVX", Network({{"INV", "Y", {"A"}}}), {"Y", "A"}, {"Y"})),
            "first gate name:gate0 p logic: INV n logic: INV\n" + kFound + kFound);
  ASSERT_EQ(results(), 2);
  EXPECT_EQ(names(ResultHead->input_list), (std::vector<std::string>{"Y:n1", "A:a11"}));
  EXPECT_EQ(ResultHead->output_list, nullptr);
  EXPECT_STREQ(flat_get_node("n1")->output_of_gate_name, "gate0");  // not an output pin: kept
}

TEST(PatternMatch, LatchDefinitionTerminates) {
  flat_circuit(Network({{"NAND2", "q", {"s", "qb"}}, {"NAND2", "qb", {"r", "q"}}}));
  auto m =
      subcircuit("SR", Network({{"NAND2", "Q", {"S", "QB"}}, {"NAND2", "QB", {"R", "Q"}}}), {"S", "R"}, {"Q", "QB"});
  run(std::move(m));
  ASSERT_EQ(results(), 1);
  EXPECT_EQ(hash_gate_list[0], nullptr);
  EXPECT_EQ(hash_gate_list[1], nullptr);
}
