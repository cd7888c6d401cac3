-- An old system database (QX_aco.mdb) in an older layout: some tables have
-- fewer fields than the template, none has a field the template lacks. It
-- carries what real ones carry: the tutorial sample, experiment, measurement
-- and user inherited from its own template (their keys collide with the
-- current template's), orphaned experiments and samples, duplicate
-- experiment rows, zero readings standing for readings never taken,
-- materials named like standard materials (one in another letter case),
-- quotes in text, Nulls, and dates with times.
-- Build it with:  korvane-mkdb QX_aco.mdb old_system.sql

CREATE TABLE Samples (
  [Sample Date] DATETIME NOT NULL,
  [Sample Name] TEXT(50) NOT NULL,
  [Sample Code] TEXT(20),
  Material TEXT(50),
  [Sample Weight] DOUBLE,
  Notes MEMO,
  CONSTRAINT PrimaryKey PRIMARY KEY ([Sample Date])
);

-- No unique key on [Experiment Date] yet.
CREATE TABLE Experiments (
  ID COUNTER NOT NULL,
  [System ID] TEXT(20),
  [Experiment Date] DATETIME,
  [Sample Date] DATETIME,
  Operator TEXT(50),
  CONSTRAINT PrimaryKey PRIMARY KEY (ID)
);

CREATE TABLE Measurements (
  [Experiment Date] DATETIME,
  [Measurement No] SMALLINT,
  -- readings of group C (trigger C1)
  C1 DOUBLE, zp DOUBLE, E1 DOUBLE, K18 DOUBLE, K7 DOUBLE, K2 DOUBLE,
  K14 DOUBLE, K15 DOUBLE, K4 DOUBLE, K16 DOUBLE, K21 DOUBLE,
  -- readings of group K (trigger K1)
  K1 DOUBLE, K5 DOUBLE, K6 DOUBLE, K11 DOUBLE, K12 DOUBLE, K8 DOUBLE,
  K9 DOUBLE, K10 DOUBLE,
  -- readings of group A (trigger A1)
  PSM DOUBLE, PSW DOUBLE, A1 DOUBLE, A2 DOUBLE, A3 DOUBLE, A4 DOUBLE,
  A5 DOUBLE, A6 DOUBLE, A7 DOUBLE, A8 DOUBLE, A9 DOUBLE, A10 DOUBLE,
  A11 DOUBLE, A12 DOUBLE, A13 DOUBLE, A14 DOUBLE, A15 DOUBLE, A16 DOUBLE,
  A17 DOUBLE, A18 DOUBLE, A19 DOUBLE, A20 DOUBLE, A21 DOUBLE, F_low DOUBLE,
  F_high DOUBLE, N_exp DOUBLE, Lin_exp DOUBLE, ERR_LOG DOUBLE, PSM_1 DOUBLE, PSM_2 DOUBLE,
  CONT_1 DOUBLE, CONT_2 DOUBLE, ERR_BI DOUBLE, PSMBi DOUBLE, PSMN DOUBLE, PSMM DOUBLE,
  PSMW DOUBLE, PSWBi DOUBLE
);

CREATE TABLE Materials (
  Name TEXT(50) NOT NULL,
  Density DOUBLE,
  [Refractive Index] DOUBLE,
  Description MEMO,
  CONSTRAINT PrimaryKey PRIMARY KEY (Name)
);

CREATE TABLE Users (
  [User Name] TEXT(50) NOT NULL,
  [Full Name] TEXT(100),
  [Access Level] SMALLINT DEFAULT 1,
  CONSTRAINT PrimaryKey PRIMARY KEY ([User Name])
);

@caption Samples.[Sample Date] 'Date';
@caption Experiments.[Experiment Date] 'Date';

-- Samples: the inherited tutorial sample (its old notes lose to the
-- template's), two measured samples, an orphan, and a sample whose only
-- experiment is an orphan.
INSERT INTO Samples ([Sample Date], [Sample Name], [Sample Code], Material, [Sample Weight], Notes)
  VALUES (#2001-01-15 10:00:00#, 'Tutorial sample', 'T001', 'Quartz', 12.5, 'Old copy of the tutorial sample');
INSERT INTO Samples ([Sample Date], [Sample Name], [Sample Code], Material, [Sample Weight], Notes)
  VALUES (#2015-03-02 08:15:30#, 'River sand', '0012', 'quartz', 20.25, 'Operator''s note: "dry" sample');
INSERT INTO Samples ([Sample Date], [Sample Name], [Sample Code], Material, [Sample Weight], Notes)
  VALUES (#2015-04-10 13:45:00#, 'Clay pit B', Null, 'My Clay', Null, Null);
INSERT INTO Samples ([Sample Date], [Sample Name], [Sample Code], Material, [Sample Weight], Notes)
  VALUES (#2016-01-05 09:00:00#, 'Never measured', 'X-1', Null, 3.5, 'No experiment was ever run');
INSERT INTO Samples ([Sample Date], [Sample Name], [Sample Code], Material, [Sample Weight], Notes)
  VALUES (#2016-02-01 10:00:00#, 'Aborted run', 'X-2', 'Basalt', 4, 'Its only experiment has no data');

-- Experiments, written out of date order: the inherited tutorial experiment,
-- three measured ones, an orphan, and two identical rows without a date.
INSERT INTO Experiments (ID, [System ID], [Experiment Date], [Sample Date], Operator)
  VALUES (1, 'TUTORIAL', #2001-01-15 11:30:00#, #2001-01-15 10:00:00#, 'Old tutor');
INSERT INTO Experiments (ID, [System ID], [Experiment Date], [Sample Date], Operator)
  VALUES (3, 'QX-07', #2015-04-10 14:00:00#, #2015-04-10 13:45:00#, 'J. Smith');
INSERT INTO Experiments (ID, [System ID], [Experiment Date], [Sample Date], Operator)
  VALUES (4, 'QX-07', #2015-03-20 10:30:00#, #2015-03-02 08:15:30#, 'J. Smith');
INSERT INTO Experiments (ID, [System ID], [Experiment Date], [Sample Date], Operator)
  VALUES (5, 'QX-07', #2015-03-02 09:00:00#, #2015-03-02 08:15:30#, 'A. Müller');
INSERT INTO Experiments (ID, [System ID], [Experiment Date], [Sample Date], Operator)
  VALUES (6, 'QX-07', #2016-02-01 11:00:00#, #2016-02-01 10:00:00#, 'J. Smith');
INSERT INTO Experiments (ID, [System ID], [Experiment Date], [Sample Date], Operator)
  VALUES (7, 'QX-07', Null, #2015-04-10 13:45:00#, Null);
INSERT INTO Experiments (ID, [System ID], [Experiment Date], [Sample Date], Operator)
  VALUES (8, 'QX-07', Null, #2015-04-10 13:45:00#, Null);

-- The tutorial measurement every old database inherited.
INSERT INTO Measurements (
    [Experiment Date], [Measurement No], C1, zp, E1, K18, K7, K2, K14, K15, K4, K16, K21, K1,
    K5, K6, K11, K12, K8, K9, K10, PSM, PSW, A1, A2, A3, A4, A5, A6, A7, A8, A9, A10, A11, A12,
    A13, A14, A15, A16, A17, A18, A19, A20, A21, F_low, F_high, N_exp, Lin_exp, ERR_LOG, PSM_1,
    PSM_2, CONT_1, CONT_2, ERR_BI, PSMBi, PSMN, PSMM, PSMW, PSWBi)
  VALUES (
    #2001-01-15 11:30:00#, 1, 4.2, 4.35, 5.6, 6.85, 8.1, 9.35, 10.6, 11.85, 13.1, 14.35, 15.6,
    3.1, 3.8, 5.05, 6.3, 7.55, 8.8, 10.05, 11.3, 2.25, 3.5, 2.5, 6.0, 7.25, 8.5, 9.75, 11.0,
    12.25, 13.5, 14.75, 16.0, 17.25, 18.5, 19.75, 21.0, 22.25, 23.5, 24.75, 26.0, 27.25, 28.5,
    29.75, 31.0, 32.25, 33.5, 34.75, 36.0, 37.25, 38.5, 39.75, 41.0, 42.25, 43.5, 44.75, 46.0,
    47.25, 48.5);
-- C1 = 0 and K1 = 5: group C was never measured, group K was.
INSERT INTO Measurements (
    [Experiment Date], [Measurement No], C1, zp, E1, K18, K7, K2, K14, K15, K4, K16, K21, K1,
    K5, K6, K11, K12, K8, K9, K10, PSM, PSW, A1, A2, A3, A4, A5, A6, A7, A8, A9, A10, A11, A12,
    A13, A14, A15, A16, A17, A18, A19, A20, A21, F_low, F_high, N_exp, Lin_exp, ERR_LOG, PSM_1,
    PSM_2, CONT_1, CONT_2, ERR_BI, PSMBi, PSMN, PSMM, PSMW, PSWBi)
  VALUES (
    #2015-03-02 09:00:00#, 1, 0.0, 2.75, 4.0, 5.25, 6.5, 7.75, 9.0, 10.25, 11.5, 12.75, 14.0,
    5.0, 4.75, 6.0, 7.25, 8.5, 9.75, 11.0, 12.25, 4.75, 6.0, 7.5, 8.5, 9.75, 11.0, 12.25, 13.5,
    14.75, 16.0, 17.25, 18.5, 19.75, 21.0, 22.25, 23.5, 24.75, 26.0, 27.25, 28.5, 29.75, 31.0,
    32.25, 33.5, 34.75, 36.0, 37.25, 38.5, 39.75, 41.0, 42.25, 43.5, 44.75, 46.0, 47.25, 48.5,
    49.75, 51.0);
INSERT INTO Measurements (
    [Experiment Date], [Measurement No], C1, zp, E1, K18, K7, K2, K14, K15, K4, K16, K21, K1,
    K5, K6, K11, K12, K8, K9, K10, PSM, PSW, A1, A2, A3, A4, A5, A6, A7, A8, A9, A10, A11, A12,
    A13, A14, A15, A16, A17, A18, A19, A20, A21, F_low, F_high, N_exp, Lin_exp, ERR_LOG, PSM_1,
    PSM_2, CONT_1, CONT_2, ERR_BI, PSMBi, PSMN, PSMM, PSMW, PSWBi)
  VALUES (
    #2015-03-02 09:00:00#, 2, 6.1, 6.3, 7.55, 8.8, 10.05, 11.3, 12.55, 13.8, 15.05, 16.3,
    17.55, 4.9, 5.7, 6.95, 8.2, 9.45, 10.7, 11.95, 13.2, 5.6, 6.85, 7.2, 9.35, 10.6, 11.85,
    13.1, 14.35, 15.6, 16.85, 18.1, 19.35, 20.6, 21.85, 23.1, 24.35, 25.6, 26.85, 28.1, 29.35,
    30.6, 31.85, 33.1, 34.35, 35.6, 36.85, 38.1, 39.35, 40.6, 41.85, 43.1, 44.35, 45.6, 46.85,
    48.1, 49.35, 50.6, 51.85);
-- K1 = 0: group K was never measured.
INSERT INTO Measurements (
    [Experiment Date], [Measurement No], C1, zp, E1, K18, K7, K2, K14, K15, K4, K16, K21, K1,
    K5, K6, K11, K12, K8, K9, K10, PSM, PSW, A1, A2, A3, A4, A5, A6, A7, A8, A9, A10, A11, A12,
    A13, A14, A15, A16, A17, A18, A19, A20, A21, F_low, F_high, N_exp, Lin_exp, ERR_LOG, PSM_1,
    PSM_2, CONT_1, CONT_2, ERR_BI, PSMBi, PSMN, PSMM, PSMW, PSWBi)
  VALUES (
    #2015-03-20 10:30:00#, 1, 3.3, 3.9, 5.15, 6.4, 7.65, 8.9, 10.15, 11.4, 12.65, 13.9, 15.15,
    0.0, 2.75, 4.0, 5.25, 6.5, 7.75, 9.0, 10.25, 5.05, 6.3, 8.1, 8.8, 10.05, 11.3, 12.55, 13.8,
    15.05, 16.3, 17.55, 18.8, 20.05, 21.3, 22.55, 23.8, 25.05, 26.3, 27.55, 28.8, 30.05, 31.3,
    32.55, 33.8, 35.05, 36.3, 37.55, 38.8, 40.05, 41.3, 42.55, 43.8, 45.05, 46.3, 47.55, 48.8,
    50.05, 51.3);
-- A1 = 0: group A was never measured.
INSERT INTO Measurements (
    [Experiment Date], [Measurement No], C1, zp, E1, K18, K7, K2, K14, K15, K4, K16, K21, K1,
    K5, K6, K11, K12, K8, K9, K10, PSM, PSW, A1, A2, A3, A4, A5, A6, A7, A8, A9, A10, A11, A12,
    A13, A14, A15, A16, A17, A18, A19, A20, A21, F_low, F_high, N_exp, Lin_exp, ERR_LOG, PSM_1,
    PSM_2, CONT_1, CONT_2, ERR_BI, PSMBi, PSMN, PSMM, PSMW, PSWBi)
  VALUES (
    #2015-04-10 14:00:00#, 1, 2.2, 3.35, 4.6, 5.85, 7.1, 8.35, 9.6, 10.85, 12.1, 13.35, 14.6,
    1.1, 2.8, 4.05, 5.3, 6.55, 7.8, 9.05, 10.3, 1.5, 2.75, 0.0, 5.25, 6.5, 7.75, 9.0, 10.25,
    11.5, 12.75, 14.0, 15.25, 16.5, 17.75, 19.0, 20.25, 21.5, 22.75, 24.0, 25.25, 26.5, 27.75,
    29.0, 30.25, 31.5, 32.75, 34.0, 35.25, 36.5, 37.75, 39.0, 40.25, 41.5, 42.75, 44.0, 45.25,
    46.5, 47.75);
-- Readings left Null.
INSERT INTO Measurements (
    [Experiment Date], [Measurement No], C1, zp, E1, K18, K7, K2, K14, K15, K4, K16, K21, K1,
    K5, K6, K11, K12, K8, K9, K10, PSM, PSW, A1, A2, A3, A4, A5, A6, A7, A8, A9, A10, A11, A12,
    A13, A14, A15, A16, A17, A18, A19, A20, A21, F_low, F_high, N_exp, Lin_exp, ERR_LOG, PSM_1,
    PSM_2, CONT_1, CONT_2, ERR_BI, PSMBi, PSMN, PSMM, PSMW, PSWBi)
  VALUES (
    #2015-04-10 14:00:00#, 2, Null, Null, Null, Null, Null, Null, Null, Null, Null, Null, Null,
    2.4, 4.45, 5.7, 6.95, 8.2, 9.45, 10.7, 11.95, Null, Null, Null, Null, Null, Null, Null,
    Null, Null, Null, Null, Null, Null, Null, Null, Null, Null, Null, Null, Null, Null, Null,
    Null, Null, Null, Null, Null, Null, Null, Null, Null, Null, Null, Null, Null, Null, Null,
    Null);

-- Materials: two named like standard materials (one in another letter case),
-- the user's own, one with quotes, one with Nulls.
INSERT INTO Materials (Name, Density, [Refractive Index], Description)
  VALUES ('quartz', 2.6, 1.5, 'Old quartz entry');
INSERT INTO Materials (Name, Density, [Refractive Index], Description)
  VALUES ('Calcite', 2.7, Null, 'Old calcite entry');
INSERT INTO Materials (Name, Density, [Refractive Index], Description)
  VALUES ('My Clay', 1.8, 1.49, 'Clay from pit B');
INSERT INTO Materials (Name, Density, [Refractive Index], Description)
  VALUES ('Sand ''coarse''', 1.6, 1.54, 'Sieved "coarse" fraction');
INSERT INTO Materials (Name, Density, [Refractive Index], Description)
  VALUES ('Basalt', Null, Null, Null);

-- Users: the inherited tutorial user and two of the lab's own.
INSERT INTO Users ([User Name], [Full Name], [Access Level])
  VALUES ('Tutorial', 'Old tutorial user', 3);
INSERT INTO Users ([User Name], [Full Name], [Access Level])
  VALUES ('jsmith', 'John Smith', 2);
INSERT INTO Users ([User Name], [Full Name], [Access Level])
  VALUES ('amueller', 'Anna Müller', Null);
