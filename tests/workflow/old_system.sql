-- The old system database of the workflow tests. S1 has two experiments
-- with measurements; S2 has no experiment; S3 has one experiment without
-- measurements. The readings have C1 = 0, K1 = 0 and A1 = 0 in different
-- rows. Quartz and CALCITE are the user's copies of standard materials; the
-- tutorial sample is an old copy of the template's.
CREATE TABLE Samples ([Sample Date] DATETIME, [Sample Name] TEXT(50));
CREATE UNIQUE INDEX SampleDate ON Samples ([Sample Date]);
CREATE TABLE Experiments ([Experiment ID] COUNTER, [System ID] TEXT(20), [Experiment Date] DATETIME, [Sample Date] DATETIME);
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
  Temperature DOUBLE
);
CREATE TABLE Materials (Name TEXT(50), Density DOUBLE);
CREATE TABLE Users ([User Name] TEXT(50), Initials TEXT(5));
INSERT INTO Samples ([Sample Date], [Sample Name]) VALUES (#2020-01-01#, 'Old tutorial sample');
INSERT INTO Samples ([Sample Date], [Sample Name]) VALUES (#2024-03-01#, 'S1');
INSERT INTO Samples ([Sample Date], [Sample Name]) VALUES (#2024-03-02#, 'S2');
INSERT INTO Samples ([Sample Date], [Sample Name]) VALUES (#2024-03-03#, 'S3');
INSERT INTO Experiments ([System ID], [Experiment Date], [Sample Date]) VALUES ('LAB1', #2024-03-01 09:00#, #2024-03-01#);
INSERT INTO Experiments ([System ID], [Experiment Date], [Sample Date]) VALUES ('LAB1', #2024-03-01 08:00#, #2024-03-01#);
INSERT INTO Experiments ([System ID], [Experiment Date], [Sample Date]) VALUES ('LAB1', #2024-03-03 09:00#, #2024-03-03#);
INSERT INTO Measurements ([Experiment Date], [Reading No], C1, zp, E1, K18, K7, K2, K14, K15, K4, K16, K21, K1, K5, K6, K11, K12, K8, K9, K10, PSM, PSW, A1, A2, A3, A4, A5, A6, A7, A8, A9, A10, A11, A12, A13, A14, A15, A16, A17, A18, A19, A20, A21, F_low, F_high, N_exp, Lin_exp, ERR_LOG, PSM_1, PSM_2, CONT_1, CONT_2, ERR_BI, PSMBi, PSMN, PSMM, PSMW, PSWBi, PSW_1, PSW_2, Temperature)
  VALUES (#2024-03-01 09:00#, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 5, 2, 2, 2, 2, 2, 2, 2, 3, 3, 0, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 20);
INSERT INTO Measurements ([Experiment Date], [Reading No], C1, zp, E1, K18, K7, K2, K14, K15, K4, K16, K21, K1, K5, K6, K11, K12, K8, K9, K10, PSM, PSW, A1, A2, A3, A4, A5, A6, A7, A8, A9, A10, A11, A12, A13, A14, A15, A16, A17, A18, A19, A20, A21, F_low, F_high, N_exp, Lin_exp, ERR_LOG, PSM_1, PSM_2, CONT_1, CONT_2, ERR_BI, PSMBi, PSMN, PSMM, PSMW, PSWBi, PSW_1, PSW_2, Temperature)
  VALUES (#2024-03-01 09:00#, 2, 1.5, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 2, 2, 2, 2, 2, 2, 2, 3, 3, 2, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 21);
INSERT INTO Measurements ([Experiment Date], [Reading No], C1, zp, E1, K18, K7, K2, K14, K15, K4, K16, K21, K1, K5, K6, K11, K12, K8, K9, K10, PSM, PSW, A1, A2, A3, A4, A5, A6, A7, A8, A9, A10, A11, A12, A13, A14, A15, A16, A17, A18, A19, A20, A21, F_low, F_high, N_exp, Lin_exp, ERR_LOG, PSM_1, PSM_2, CONT_1, CONT_2, ERR_BI, PSMBi, PSMN, PSMM, PSMW, PSWBi, PSW_1, PSW_2, Temperature)
  VALUES (#2024-03-01 08:00#, 1, 4, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 4, 2, 2, 2, 2, 2, 2, 2, 3, 3, 4, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 22);
INSERT INTO Materials (Name, Density) VALUES ('Quartz', 2.6);
INSERT INTO Materials (Name, Density) VALUES ('MyClay', 1.9);
INSERT INTO Materials (Name, Density) VALUES ('CALCITE', 2.7);
INSERT INTO Users ([User Name], Initials) VALUES ('Ann', 'AN');
INSERT INTO Users ([User Name], Initials) VALUES ('Bob', 'BO');
