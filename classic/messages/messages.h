#pragma once
// Every fixed text the program prints on standard output, and the formats of
// the lines that carry numbers or names, in one place: the program prints
// them from here and the tests compare against them. The texts are part of
// the output and must not change by a byte (typos included).
namespace msg {

// ---- Command line ----------------------------------------------------------
inline constexpr const char* kUsage = "Useage: parser input output \n";
inline constexpr const char* kCannotOpenSource = "can not open source file !\n";  // perror prefix
inline constexpr const char* kCannotOpenDestination = "can not open destination file !\n";

// ---- Reading the netlist ------------------------------------------------------
inline constexpr const char* kSyntaxError = "syntax error";  // printed with a newline
inline constexpr const char* kTooLong = "Input string too long, limit %d\n";
inline constexpr const char* kCannotOpenSecond = " can not open destination file !\n";  // perror prefix
inline constexpr const char* kOutOfMemory = "Out of memory\n";
inline constexpr const char* kNoEndmAtNext = "macromodel %s has no .endm, closed at the next .macromodel\n";
inline constexpr const char* kNoEndmAtEnd = "macromodel %s has no .endm, closed at the end of input\n";
inline constexpr const char* kUnnamedMacromodel = ".macromodel without a name, named after its .endm card\n";
inline constexpr const char* kStrayEndm = ".endm %s without an open .macromodel, ignored\n";

// ---- Progress of the classic pipeline, in stage order ---------------------
inline constexpr const char* kNodeBiggest = "node_beggest: %d,  device_biggest: %d\n";
inline constexpr const char* kTellNPDone = "TellNP part done\n";
inline constexpr const char* kNode1 = "hehe_1\n";
inline constexpr const char* kNode2 = "hehe_2\n";
inline constexpr const char* kNode3 = "hehe_3\n";
inline constexpr const char* kNode3_5 = "hehe_3_5\n";
inline constexpr const char* kNode4 = "hehe_4\n";
inline constexpr const char* kNodeDone = "Node part done\n";
inline constexpr const char* kGenerateBranchList = "Generate_branch_list\n";
inline constexpr const char* kGroupBranchList = "Group_branch_list\n";
inline constexpr const char* kPassLeftList = "generate_pass_left_list\n";
inline constexpr const char* kTransList = "generate_trans_list\n";
inline constexpr const char* kNumForBranch = "Generate num for branch\n";
inline constexpr const char* kNBranchRecognition = "n branch recognition\n";
inline constexpr const char* kPBranchRecognition = "p branch recognition\n";
inline constexpr const char* kGiveName = "give name\n";
inline constexpr const char* kHashBranch = "gen_hash_branch\n";
inline constexpr const char* kCouple = "couple\n";
inline constexpr const char* kGateRecognition = "Gate recognition\n";
inline constexpr const char* kNumOfGates = " num of gates %d\n";
inline constexpr const char* kHashGateList = "gen hash gate list\n";
inline constexpr const char* kGateCount = "%d duoshaoge \n";
inline constexpr const char* kInlist = "gen inlist for every gate\n";
inline constexpr const char* kHashTransList = "gen hash trans list\n";
inline constexpr const char* kGatesAndTrans = " Num of Gates: %d Num of trans: %d\n";
inline constexpr const char* kConnection = "gen connection\n";
inline constexpr const char* kInputCount = "Count the input num of every node \n";
inline constexpr const char* kNumForMacromodel = "Gen num for every macromodel\n";
inline constexpr const char* kCircuitDone = " Circuit part done. \n";
inline constexpr const char* kOutputMacromodel = " output: macromodel \n";
inline constexpr const char* kMacromodelLine = " name: %s num of mos: %d  done: %d\n";
inline constexpr const char* kBeginMacromodels = "************** Begin the macromodel **************\n";
inline constexpr const char* kBeginMatchingFor = " begin pattern matching for ............ : %s\n";
inline constexpr const char* kBeginMatching = " begin patternmatching: \n";
inline constexpr const char* kWireDone = " Wire gen ended\n";

// ---- Flat and subcircuit extraction -----------------------------------------
inline constexpr const char* kMergedNodeNames = "Node names %s and %s both carry the number %d: they are one node\n";
inline constexpr const char* kMosfetReplaced = "Mosfet %s replaces Mosfet %s: both names carry the number %d\n";
inline constexpr const char* kBadMosfetName = "The name of the Mosfet is wrong, please check\n";
inline constexpr const char* kBranchCounts = "num n branchs%d num p branches %d\n";
inline constexpr const char* kValidBranchCounts = "valid n branchs%d heihei valid p branches %d\n";
inline constexpr const char* kWiredOneBranch = "It's wired, because there is only one branch connected with pn_node\n";
inline constexpr const char* kNBranchTooBig = "This n_branch contains more than 7 mosfets, can't handle\n";
inline constexpr const char* kPBranchTooBig = "This p_branch contains more than 7 mosfets, can't handle\n";
inline constexpr const char* kBranchFunction = "Branch name = %s, Logic function is: \n";
inline constexpr const char* kFinishGenStructure = "finish gen structure\n";

// ---- Pattern matching ----------------------------------------------------------
inline constexpr const char* kNoFirstGate = "first gate name: none, no gate to search for\n";
inline constexpr const char* kFirstGate = "first gate name:%s p logic: %s n logic: %s\n";
inline constexpr const char* kNullGateInTable = " There is NULL gate in hash_gate_list! \n";
inline constexpr const char* kInvInputsDiffer = "INV's N_branch and P_branch has different input name!\n";
inline constexpr const char* kDecidedFail = " decided fail \n";
inline constexpr const char* kMacroGateNull = " Macro gate NULL: \n";
inline constexpr const char* kCircuitGateNull = " Circuit gate NULL: \n";
inline constexpr const char* kUnknownWiredNoMark = "Unknown connected to 3 and more known gate, wired\n";
inline constexpr const char* kPinFeedsMoreThan4 = "The pin connect to more than 4 gates, not acceptable\n";
inline constexpr const char* kMoreThan2Common = "The gates has more than 2 common node, exit! \n";
inline constexpr const char* kGatesNotFound = "What's going on? Some gates are not found yet! \n";
inline constexpr const char* kNullForN = "Return a NULL, unbelieveable\n";
inline constexpr const char* kNullForP = "Return a NULL for P also, relation_pin method failed\n";
inline constexpr const char* kRelationPinFound = "Can find this pinname use the relation_pin method!\n";
inline constexpr const char* kUnfoundPin = " Unfound pin: %s\n";
inline constexpr const char* kProblemPin = "problem pin: %s\n";
inline constexpr const char* kPinNotConnected = "This is impossible, because the pin did not connected to any gate!\n";
inline constexpr const char* kRelationPinFailed = "Relation_pin method failed! \n";
inline constexpr const char* kUnknownWired = "Unknown connected to 3 and more known gate, wired! \n";
inline constexpr const char* kGateMatchDone = " gate match done \n";
inline constexpr const char* kBeginRelatedPin = " Begin Related_pin_recognition method! \n";
inline constexpr const char* kInputOutputDone = " input_output match done \n";
inline constexpr const char* kOccurrenceRejected = " occurrence rejected: %s at %s, condition %d: %s\n";
inline constexpr const char* kFaultSharedGate = "a circuit gate stands for two definition gates";
inline constexpr const char* kFaultGatesDiffer = "gate nets do not correspond";
inline constexpr const char* kFaultInternalNet = "an internal net is used outside";
inline constexpr const char* kFaultOutputUndriven = "an output is not driven by its gate";
inline constexpr const char* kFaultLoneMosfet = "a MOSFET outside the gates has no counterpart";
inline constexpr const char* kSuccess = " success..................................... \n";
// The long ones.
inline constexpr const char* kNoPinFound =
    "Compare result: in the circuit gatename_list, no gate pin name have been found, exit!\n";
inline constexpr const char* kManyPinsFound =
    "Compare result: in the circuit gatename_list, more than 1 pin name have been found, exit!\n";
inline constexpr const char* kWiredOutputUnfound =
    "It's wired, because the output has not been found yet after the gate matching\n";

// ---- CPU-time report ------------------------------------------------------------
inline constexpr const char* kGateTimeTitle = "******Generate gate time*********\n";
inline constexpr const char* kGateTime = "Gate gen CPU time = %f\n";
inline constexpr const char* kMatchTimeTitle = "******The pattern-matching time*********\n";
inline constexpr const char* kMatchTime = "patt matching CPU time = %f\n";
inline constexpr const char* kCpuTimeTitle = "******The CPU time*********\n";
inline constexpr const char* kCpuTime = "CPU time = %f\n";
inline constexpr const char* kTimingTitle = "/********** Timing Analysis ****************/\n";
// Titles of the phases and stages in the report, in report order.
inline constexpr const char* kPhaseTitles[] = {"Phase I Time:\n", "Phase II Time:\n", "Total Time:\n"};
inline constexpr const char* kStageTitles[] = {
    "Parser Time: \n",         "TellNP Time: \n",      "Node Time: \n",
    "Generate Branch Time: \n", "Group Branch Time: \n", "Pre Branch Recog Time: \n",
    "NP Branch Recog Time: \n", "Couple Time: \n",       "Gate Recog Time: \n",
    "Pre Gateconnection Time: \n", "Gate Connection Time: \n", "Left Time: \n"};

}  // namespace msg
