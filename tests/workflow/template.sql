-- The template of the workflow tests: the newest layout (Measurements has
-- D15, D50, D85; Experiments has Operator), a tutorial sample, experiment and
-- measurement, and two standard materials.
CREATE TABLE Samples ([Sample Date] DATETIME, [Sample Name] TEXT(50));
CREATE UNIQUE INDEX SampleDate ON Samples ([Sample Date]);
CREATE TABLE Experiments ([Experiment ID] COUNTER, [System ID] TEXT(20), [Experiment Date] DATETIME, [Sample Date] DATETIME, Operator TEXT(50));
CREATE UNIQUE INDEX ExperimentDate ON Experiments ([Experiment Date]);
CREATE TABLE Measurements (
  [Experiment Date] DATETIME,
  [Reading No] LONG,
  C1 DOUBLE,
  zp DOUBLE,
  E1 DOUBLE,
  K18 DOUBLE,
  K7 DOUBLE,
  K2 DOUBLE,
  K14 DOUBLE,
  K15 DOUBLE,
  K4 DOUBLE,
  K16 DOUBLE,
  K21 DOUBLE,
  K1 DOUBLE,
  K5 DOUBLE,
  K6 DOUBLE,
  K11 DOUBLE,
  K12 DOUBLE,
  K8 DOUBLE,
  K9 DOUBLE,
  K10 DOUBLE,
  PSM DOUBLE,
  PSW DOUBLE,
  A1 DOUBLE,
  A2 DOUBLE,
  A3 DOUBLE,
  A4 DOUBLE,
  A5 DOUBLE,
  A6 DOUBLE,
  A7 DOUBLE,
  A8 DOUBLE,
  A9 DOUBLE,
  A10 DOUBLE,
  A11 DOUBLE,
  A12 DOUBLE,
  A13 DOUBLE,
  A14 DOUBLE,
  A15 DOUBLE,
  A16 DOUBLE,
  A17 DOUBLE,
  A18 DOUBLE,
  A19 DOUBLE,
  A20 DOUBLE,
  A21 DOUBLE,
  F_low DOUBLE,
  F_high DOUBLE,
  N_exp DOUBLE,
  Lin_exp DOUBLE,
  ERR_LOG DOUBLE,
  PSM_1 DOUBLE,
  PSM_2 DOUBLE,
  CONT_1 DOUBLE,
  CONT_2 DOUBLE,
  ERR_BI DOUBLE,
  PSMBi DOUBLE,
  PSMN DOUBLE,
  PSMM DOUBLE,
  PSMW DOUBLE,
  PSWBi DOUBLE,
  PSW_1 DOUBLE,
  PSW_2 DOUBLE,
  D15 DOUBLE,
  D50 DOUBLE,
  D85 DOUBLE,
  Temperature DOUBLE
);
CREATE TABLE Materials (Name TEXT(50), Density DOUBLE);
CREATE TABLE [Standard Materials] (Name TEXT(50), Density DOUBLE);
CREATE TABLE Users ([User Name] TEXT(50), Initials TEXT(5));
INSERT INTO Samples ([Sample Date], [Sample Name]) VALUES (#2020-01-01#, 'Tutorial sample');
INSERT INTO Experiments ([System ID], [Experiment Date], [Sample Date], Operator) VALUES ('TUTORIAL', #2020-01-01 10:00#, #2020-01-01#, 'Tutor');
INSERT INTO Measurements ([Experiment Date], [Reading No], C1, zp, E1, K18, K7, K2, K14, K15, K4, K16, K21, K1, K5, K6, K11, K12, K8, K9, K10, PSM, PSW, A1, A2, A3, A4, A5, A6, A7, A8, A9, A10, A11, A12, A13, A14, A15, A16, A17, A18, A19, A20, A21, F_low, F_high, N_exp, Lin_exp, ERR_LOG, PSM_1, PSM_2, CONT_1, CONT_2, ERR_BI, PSMBi, PSMN, PSMM, PSMW, PSWBi, PSW_1, PSW_2, D15, D50, D85, Temperature)
  VALUES (#2020-01-01 10:00#, 1, 7, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 7, 2, 2, 2, 2, 2, 2, 2, 3, 3, 7, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 19);
INSERT INTO [Standard Materials] (Name, Density) VALUES ('Quartz', 2.65);
INSERT INTO [Standard Materials] (Name, Density) VALUES ('Calcite', 2.71);
