// The seed corpus from the program's statements.
#include "program_seeds.h"

#include <cctype>

#include "workflow/program_statements.h"

namespace korvane::fuzz {

namespace {

struct WorkingCopy {
  const char* suffix;       // of the seed's file name
  const char* literalBody;  // the path as the program writes it into the statement
};

constexpr WorkingCopy kWorkingCopies[] = {
    {"", "C:\\data_aco\\Backup\\QX_aco_261207_0843_update.mdb"},
    {"_quoted_path", "C:\\input\\O''Brien''s lab_261207_0843.mdb"},
};

std::string lowerCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

std::vector<Seed> programSeeds() {
  using namespace workflow::statements;
  std::vector<Seed> seeds;
  for (const Transfer& transfer : kTransfers) {
    for (const WorkingCopy& working : kWorkingCopies) {
      seeds.push_back({"transfer_" + lowerCase(transfer.table) + working.suffix + ".sql",
                       transfer.withPath(working.literalBody)});
    }
  }
  seeds.push_back({"drop_users_standard_copies.sql", kDropUsersStandardCopies});
  seeds.push_back({"append_standard_materials.sql", kAppendStandardMaterials});
  seeds.push_back({"delete_orphan_experiments.sql", kDeleteOrphanExperiments});
  seeds.push_back({"delete_orphan_samples.sql", kDeleteOrphanSamples});
  seeds.push_back({"null_c1_group.sql", kNullGroupC});
  seeds.push_back({"null_k1_group.sql", kNullGroupK});
  seeds.push_back({"null_a1_group.sql", kNullGroupA});
  return seeds;
}

}  // namespace korvane::fuzz
