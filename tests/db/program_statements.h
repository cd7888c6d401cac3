// The statements the update workflow sends to the engine, spelled exactly as
// it sends them (odd spacing and letter case included), for the tests that
// check their effect.
#pragma once

#include <string>

namespace korvane::db::test {

// The five transfers into the working copy `w` (a Jet string literal's content).
inline std::string transferSamples(const std::string& w) {
  return "INSERT INTO Samples IN '" + w + "' SELECT Samples.* FROM Samples;";
}
inline std::string transferExperiments(const std::string& w) {
  return std::string("INSERT INTO Experiments ( [System ID], [Experiment Date], [Sample Date] ) ") +
         "IN '" + w + "'" +
         "SELECT DISTINCTROW Experiments.[System ID], Experiments.[Experiment Date], "
         "Experiments.[Sample Date] " +
         "From Experiments ORDER BY Experiments.[Experiment Date];";
}
inline std::string transferMeasurements(const std::string& w) {
  return "INSERT INTO measurements IN '" + w + "' SELECT measurements.* FROM measurements;";
}
inline std::string transferMaterials(const std::string& w) {
  return "INSERT INTO Materials IN '" + w + "' SELECT Materials.* FROM Materials;";
}
inline std::string transferUsers(const std::string& w) {
  return "INSERT INTO Users IN '" + w + "'  SELECT Users.* FROM Users;";
}

inline const std::string kDeleteOwnStandardMaterials =
    "DELETE DISTINCTROW Materials.* FROM Materials INNER JOIN [Standard Materials] ON "
    "Materials.Name = [Standard Materials].Name;";
inline const std::string kAppendStandardMaterials =
    "INSERT INTO Materials SELECT DISTINCTROW [Standard Materials].* FROM [Standard Materials];";

inline const std::string kDeleteOrphanExperiments =
    std::string(
        "DELETE DISTINCTROW Experiments.*, Experiments.[Experiment Date], "
        "Measurements.[Experiment Date]") +
    "FROM Experiments LEFT JOIN Measurements ON Experiments.[Experiment Date] = "
    "Measurements.[Experiment Date]" +
    "WHERE ((Measurements.[Experiment Date] Is Null));";
inline const std::string kDeleteOrphanSamples =
    std::string("DELETE DISTINCTROW Samples.*, Samples.[Sample Date], Experiments.[Sample Date]") +
    "FROM Samples LEFT JOIN Experiments ON Samples.[Sample Date] = Experiments.[Sample Date]" +
    "WHERE ((Experiments.[Sample Date] Is Null));";

inline const std::string kNullGroupC =
    "UPDATE DISTINCTROW Measurements SET C1 = Null, zp = Null, E1 = Null, K18 = Null, K7 = NULL, "
    "K2= NULL, K14 = NULL, K15 = NULL, K4 = NULL, K16 = NULL, K21 = NULL WHERE ((C1=0));";
inline const std::string kNullGroupK =
    "UPDATE DISTINCTROW Measurements SET K1 = Null, K5 = NULL, K6 = NULL, K11 = NULL, K12 = "
    "NULL, K8 = NULL, K9 = NULL, K10 = NULL   WHERE ((K1=0));";
inline const std::string kNullGroupA =
    std::string(
        "UPDATE DISTINCTROW Measurements SET PSM = NULL, PSW = NULL, A1 = Null, A2 = Null, A3 = "
        "Null, A4 = Null, A5 = Null, A6 = Null, A7 = Null, A8 = Null, A9 = Null, A10 = Null, A11 "
        "= Null, A12 = Null, A13 = Null, A14 = Null, A15 = Null, A16 = Null, A17 = Null, A18 = "
        "Null, A19 = Null, A20 = Null, A21 = Null, F_low = NULL, F_high = NULL, N_exp = NULL, "
        "Lin_exp = NULL, ") +
    "ERR_LOG = NULL, PSM_1 = NULL, PSM_2 = NULL, CONT_1 = NULL, CONT_2 = NULL, ERR_BI = NULL, "
    "PSMBi = NULL, PSMN = NULL, PSMM = NULL, PSMW = NULL, PSWBi = NULL, PSW_1 = NULL, PSW_2 = "
    "NULL, D15 = NULL, D50 = NULL, D85 = NULL " +
    "WHERE ((A1=0));";

}  // namespace korvane::db::test
