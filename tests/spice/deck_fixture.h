#pragma once
// Netlist files in a fresh folder (the working directory, so messages name
// them as written), read and flattened as the profile does.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/diag/diagnostic.h"
#include "profile/circuit/device_kinds.h"
#include "profile/circuit/rails.h"
#include "profile/messages/messages.h"
#include "profile/spice/deck.h"
#include "profile/spice/flattener.h"
#include "profile/spice/reader.h"

class DeckFixture : public testing::Test {
 protected:
  void SetUp() override {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::path(testing::TempDir()) / (std::string("spice_") + info->test_suite_name() + "_" + info->name() + "_" +
                                                   std::to_string(getpid()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    old_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
  }
  void TearDown() override { std::filesystem::current_path(old_); }

  void file(const std::string& path, const std::string& text) {
    std::filesystem::path p(path);
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
    std::ofstream(p) << text;
  }

  // Reads the files, flattens the top (and the cells), assigns the rails.
  circuit::Circuit top(const std::vector<std::string>& netlists, const std::string& top_name = "",
                     const std::vector<std::string>& libraries = {}) {
    deck_ = std::make_unique<spice::Deck>();
    spice::Reader reader(*deck_, [this](messages::Message, const std::string& w) { warnings.push_back(w); });
    for (const auto& f : netlists) reader.read_netlist(f);
    for (const auto& f : libraries) reader.read_library(f);
    circuit::DeviceKinds kinds(nmos, pmos, deck_->model_channels());
    spice::Flattener flattener(*deck_, kinds, [this](messages::Message, const std::string& w) { warnings.push_back(w); });
    circuit::Circuit c = flattener.flatten_top(top_name, std::filesystem::path(netlists.front()).stem().string());
    cells = flattener.flatten_cells();
    circuit::Rails rails(supply, ground, deck_->global_names(), usual_rails);
    rails_found = rails.assign(c);
    for (auto& cell : cells) rails.assign(cell);
    return c;
  }

  std::vector<circuit::RailFound> rails_found;  // of the last top(), with why

  const spice::Deck& deck() const { return *deck_; }
  // Ends the deck of the last top(); its circuits live on.
  void drop_deck() { deck_.reset(); }

  // The message of a run that fails, or "no error".
  std::string error(const std::vector<std::string>& netlists, const std::string& top_name = "") {
    try {
      top(netlists, top_name);
    } catch (const core::Diagnostic& e) {
      return e.what();
    }
    return "no error";
  }

  static std::string net(const circuit::Circuit& c, circuit::NetId n) { return std::string(c.net_names.at(n)); }
  // The ports' roles: s signal, S supply, G ground, B bulk only.
  static std::string roles(const circuit::Circuit& c) {
    std::string out;
    for (circuit::NetId p : c.ports) out += "sSGB"[static_cast<int>(c.net_roles[p])];
    return out;
  }

  std::vector<std::string> warnings;
  std::vector<circuit::Circuit> cells;
  std::vector<std::string> nmos, pmos, supply, ground;
  bool usual_rails = true;

 private:
  std::filesystem::path dir_, old_;
  std::unique_ptr<spice::Deck> deck_;
};
