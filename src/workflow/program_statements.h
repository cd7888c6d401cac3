// The twelve statements the actions send to the engine, spelled exactly as
// the program sends them: odd spacing and letter case, and FROM or WHERE run
// straight on after a closing bracket, included. The engine takes them as
// they are. Data, and how a transfer takes the working copy's path: the
// actions run them, the engine's tests check what they do, and the statement
// fuzzer's seed corpus is written from them.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace korvane::workflow::statements {

// Update's transfer of one of the user's tables into the working copy, split
// where the working copy's path goes (as the body of a Jet string literal).
struct Transfer {
  const char* table;
  const char* beforePath;
  const char* afterPath;

  // The statement with `literalBody` (see jetLiteralBody) as the path.
  std::string withPath(std::string_view literalBody) const {
    return beforePath + std::string(literalBody) + afterPath;
  }
};

// The body of a Jet string literal: each quote doubled, so a path with a
// quote stays one literal and cannot end the statement's text early.
inline std::string jetLiteralBody(std::string_view text) {
  std::string body;
  for (char c : text) {
    body += c;
    if (c == '\'') body += '\'';
  }
  return body;
}

inline constexpr Transfer kTransferSamples = {"Samples", "INSERT INTO Samples IN '",
                                              "' SELECT Samples.* FROM Samples;"};
inline constexpr Transfer kTransferExperiments = {
    "Experiments", "INSERT INTO Experiments ( [System ID], [Experiment Date], [Sample Date] ) IN '",
    "'SELECT DISTINCTROW Experiments.[System ID], Experiments.[Experiment Date], "
    "Experiments.[Sample Date] From Experiments ORDER BY Experiments.[Experiment Date];"};
inline constexpr Transfer kTransferMeasurements = {"Measurements", "INSERT INTO measurements IN '",
                                                   "' SELECT measurements.* FROM measurements;"};
inline constexpr Transfer kTransferMaterials = {"Materials", "INSERT INTO Materials IN '",
                                                "' SELECT Materials.* FROM Materials;"};
inline constexpr Transfer kTransferUsers = {"Users", "INSERT INTO Users IN '",
                                            "'  SELECT Users.* FROM Users;"};

// The user's tables, carried over in this order.
inline constexpr std::array<Transfer, 5> kTransfers = {kTransferSamples, kTransferExperiments,
                                                       kTransferMeasurements, kTransferMaterials,
                                                       kTransferUsers};

// Update, on the working copy: the user's own copies of standard materials
// give way to the template's current ones.
inline constexpr const char* kDropUsersStandardCopies =
    "DELETE DISTINCTROW Materials.* FROM Materials INNER JOIN [Standard Materials] ON "
    "Materials.Name = [Standard Materials].Name;";
inline constexpr const char* kAppendStandardMaterials =
    "INSERT INTO Materials SELECT DISTINCTROW [Standard Materials].* FROM [Standard Materials];";

// Delete orphans: experiments first, so that samples whose only experiments
// were just removed go too.
inline constexpr const char* kDeleteOrphanExperiments =
    "DELETE DISTINCTROW Experiments.*, Experiments.[Experiment Date], "
    "Measurements.[Experiment Date]"
    "FROM Experiments LEFT JOIN Measurements ON Experiments.[Experiment Date] = "
    "Measurements.[Experiment Date]"
    "WHERE ((Measurements.[Experiment Date] Is Null));";
inline constexpr const char* kDeleteOrphanSamples =
    "DELETE DISTINCTROW Samples.*, Samples.[Sample Date], Experiments.[Sample Date]"
    "FROM Samples LEFT JOIN Experiments ON Samples.[Sample Date] = Experiments.[Sample Date]"
    "WHERE ((Experiments.[Sample Date] Is Null));";
inline constexpr std::array<const char*, 2> kOrphanDeletions = {kDeleteOrphanExperiments,
                                                                kDeleteOrphanSamples};

// Set un-measured values to Null: one statement per group of readings; a
// zero in the group's first reading means the group was never measured.
inline constexpr const char* kNullGroupC =
    "UPDATE DISTINCTROW Measurements SET C1 = Null, zp = Null, E1 = Null, K18 = Null, K7 = NULL, "
    "K2= NULL, K14 = NULL, K15 = NULL, K4 = NULL, K16 = NULL, K21 = NULL WHERE ((C1=0));";
inline constexpr const char* kNullGroupK =
    "UPDATE DISTINCTROW Measurements SET K1 = Null, K5 = NULL, K6 = NULL, K11 = NULL, K12 = NULL, "
    "K8 = NULL, K9 = NULL, K10 = NULL   WHERE ((K1=0));";
inline constexpr const char* kNullGroupA =
    "UPDATE DISTINCTROW Measurements SET PSM = NULL, PSW = NULL, A1 = Null, A2 = Null, A3 = Null, "
    "A4 = Null, A5 = Null, A6 = Null, A7 = Null, A8 = Null, A9 = Null, A10 = Null, A11 = Null, "
    "A12 = Null, A13 = Null, A14 = Null, A15 = Null, A16 = Null, A17 = Null, A18 = Null, "
    "A19 = Null, A20 = Null, A21 = Null, F_low = NULL, F_high = NULL, N_exp = NULL, "
    "Lin_exp = NULL, "
    "ERR_LOG = NULL, PSM_1 = NULL, PSM_2 = NULL, CONT_1 = NULL, CONT_2 = NULL, ERR_BI = NULL, "
    "PSMBi = NULL, PSMN = NULL, PSMM = NULL, PSMW = NULL, PSWBi = NULL, PSW_1 = NULL, "
    "PSW_2 = NULL, D15 = NULL, D50 = NULL, D85 = NULL "
    "WHERE ((A1=0));";
inline constexpr std::array<const char*, 3> kNullReplacements = {kNullGroupC, kNullGroupK,
                                                                 kNullGroupA};

}  // namespace korvane::workflow::statements
