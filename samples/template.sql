-- The current template database (QX_Std.mdb): the newest table layout with
-- field captions and descriptions, the standard materials and the tutorial
-- experiments. Build it with:  korvane-mkdb QX_Std.mdb template.sql
--
-- Jet SQL statements end with ';' at the end of a line. Lines starting with
-- @caption / @description set a field's Caption / Description property.

CREATE TABLE Samples (
  [Sample Date] DATETIME NOT NULL,
  [Sample Name] TEXT(50) NOT NULL,
  [Sample Code] TEXT(20),
  Material TEXT(50),
  [Sample Weight] DOUBLE,
  Notes MEMO,
  -- not in older layouts
  [Lab Code] TEXT(10) DEFAULT 'LAB',
  CONSTRAINT PrimaryKey PRIMARY KEY ([Sample Date])
);

CREATE TABLE Experiments (
  ID COUNTER NOT NULL,
  [System ID] TEXT(20),
  [Experiment Date] DATETIME,
  [Sample Date] DATETIME,
  Operator TEXT(50),
  -- not in older layouts
  Temperature DOUBLE DEFAULT 20,
  Reviewed BIT DEFAULT 0,
  [Method Version] SMALLINT DEFAULT 2,
  CONSTRAINT PrimaryKey PRIMARY KEY (ID),
  CONSTRAINT ExperimentDate UNIQUE ([Experiment Date])
);
CREATE INDEX SampleDate ON Experiments ([Sample Date]);

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
  PSMW DOUBLE, PSWBi DOUBLE, PSW_1 DOUBLE, PSW_2 DOUBLE, D15 DOUBLE, D50 DOUBLE,
  D85 DOUBLE,
  Remarks MEMO
);
CREATE INDEX ExperimentDate ON Measurements ([Experiment Date]);

CREATE TABLE Materials (
  Name TEXT(50) NOT NULL,
  Density DOUBLE,
  [Refractive Index] DOUBLE,
  Description MEMO,
  -- not in older layouts
  Category TEXT(20),
  CONSTRAINT PrimaryKey PRIMARY KEY (Name)
);

CREATE TABLE [Standard Materials] (
  Name TEXT(50) NOT NULL,
  Density DOUBLE,
  [Refractive Index] DOUBLE,
  Description MEMO,
  Category TEXT(20),
  CONSTRAINT PrimaryKey PRIMARY KEY (Name)
);

CREATE TABLE Users (
  [User Name] TEXT(50) NOT NULL,
  [Full Name] TEXT(100),
  [Access Level] SMALLINT DEFAULT 1,
  -- not in older layouts
  Email TEXT(100),
  CONSTRAINT PrimaryKey PRIMARY KEY ([User Name])
);

-- Captions and descriptions of the fields.
@caption Samples.[Sample Date] 'Sampled on';
@description Samples.[Sample Date] 'Date and time the sample was taken; links the sample to its experiments';
@caption Samples.[Sample Name] 'Sample';
@description Samples.[Lab Code] 'Code of the laboratory that holds the sample';
@caption Experiments.[System ID] 'System';
@description Experiments.[System ID] 'Instrument the experiment ran on';
@caption Experiments.[Experiment Date] 'Run on';
@description Experiments.[Experiment Date] 'Date and time of the run; links the experiment to its measurements';
@description Experiments.Temperature 'Room temperature in degrees Celsius';
@caption Measurements.C1 'C1 (mg/l)';
@description Measurements.C1 'Concentration reading; 0 means not measured';
@caption Measurements.K1 'K1 (1/s)';
@description Measurements.K1 'Rate constant; 0 means not measured';
@caption Measurements.A1 'A1 (%)';
@description Measurements.A1 'First size fraction; 0 means not measured';
@caption Materials.Name 'Material';
@description Materials.Density 'Density in g/cm3';
@caption [Standard Materials].Name 'Standard material';
@description [Standard Materials].Density 'Density in g/cm3';
@caption Users.[User Name] 'Login';

-- The standard materials of this release.
INSERT INTO [Standard Materials] (Name, Density, [Refractive Index], Description, Category)
  VALUES ('Quartz', 2.65, 1.544, 'Silicon dioxide, reference grade', 'Mineral');
INSERT INTO [Standard Materials] (Name, Density, [Refractive Index], Description, Category)
  VALUES ('Calcite', 2.71, 1.658, 'Calcium carbonate, reference grade', 'Mineral');
INSERT INTO [Standard Materials] (Name, Density, [Refractive Index], Description, Category)
  VALUES ('Feldspar', 2.56, 1.52, 'Potassium feldspar', 'Mineral');
INSERT INTO [Standard Materials] (Name, Density, [Refractive Index], Description, Category)
  VALUES ('Kaolin', 2.6, 1.56, 'China clay', 'Clay');
INSERT INTO [Standard Materials] (Name, Density, [Refractive Index], Description, Category)
  VALUES ('Glass Beads', 2.5, 1.51, 'Soda-lime glass spheres, 50 µm', 'Reference');

-- The tutorials: one sample, two experiments with their measurements, the tutorial user.
INSERT INTO Samples ([Sample Date], [Sample Name], [Sample Code], Material, [Sample Weight], Notes, [Lab Code])
  VALUES (#2001-01-15 10:00:00#, 'Tutorial sample', 'T001', 'Quartz', 12.5, 'Sample of the tutorials', 'TUT');
INSERT INTO Experiments (ID, [System ID], [Experiment Date], [Sample Date], Operator, Temperature, Reviewed, [Method Version])
  VALUES (1, 'TUTORIAL', #2001-01-15 11:30:00#, #2001-01-15 10:00:00#, 'Tutor', 21.5, True, 2);
INSERT INTO Experiments (ID, [System ID], [Experiment Date], [Sample Date], Operator, Temperature, Reviewed, [Method Version])
  VALUES (2, 'TUTORIAL', #2001-01-16 09:00:00#, #2001-01-15 10:00:00#, 'Tutor', 21.5, True, 2);
INSERT INTO Measurements (
    [Experiment Date], [Measurement No], C1, zp, E1, K18, K7, K2, K14, K15, K4, K16, K21, K1,
    K5, K6, K11, K12, K8, K9, K10, PSM, PSW, A1, A2, A3, A4, A5, A6, A7, A8, A9, A10, A11, A12,
    A13, A14, A15, A16, A17, A18, A19, A20, A21, F_low, F_high, N_exp, Lin_exp, ERR_LOG, PSM_1,
    PSM_2, CONT_1, CONT_2, ERR_BI, PSMBi, PSMN, PSMM, PSMW, PSWBi, PSW_1, PSW_2, D15, D50, D85,
    Remarks)
  VALUES (
    #2001-01-15 11:30:00#, 1, 4.2, 4.35, 5.6, 6.85, 8.1, 9.35, 10.6, 11.85, 13.1, 14.35, 15.6,
    3.1, 3.8, 5.05, 6.3, 7.55, 8.8, 10.05, 11.3, 2.25, 3.5, 2.5, 6.0, 7.25, 8.5, 9.75, 11.0,
    12.25, 13.5, 14.75, 16.0, 17.25, 18.5, 19.75, 21.0, 22.25, 23.5, 24.75, 26.0, 27.25, 28.5,
    29.75, 31.0, 32.25, 33.5, 34.75, 36.0, 37.25, 38.5, 39.75, 41.0, 42.25, 43.5, 44.75, 46.0,
    47.25, 48.5, 49.75, 51.0, 52.25, 53.5, 54.75, 'Tutorial 1, first run');
INSERT INTO Measurements (
    [Experiment Date], [Measurement No], C1, zp, E1, K18, K7, K2, K14, K15, K4, K16, K21, K1,
    K5, K6, K11, K12, K8, K9, K10, PSM, PSW, A1, A2, A3, A4, A5, A6, A7, A8, A9, A10, A11, A12,
    A13, A14, A15, A16, A17, A18, A19, A20, A21, F_low, F_high, N_exp, Lin_exp, ERR_LOG, PSM_1,
    PSM_2, CONT_1, CONT_2, ERR_BI, PSMBi, PSMN, PSMM, PSMW, PSWBi, PSW_1, PSW_2, D15, D50, D85,
    Remarks)
  VALUES (
    #2001-01-15 11:30:00#, 2, 4.4, 5.45, 6.7, 7.95, 9.2, 10.45, 11.7, 12.95, 14.2, 15.45, 16.7,
    3.3, 4.9, 6.15, 7.4, 8.65, 9.9, 11.15, 12.4, 3.3, 4.55, 2.6, 7.05, 8.3, 9.55, 10.8, 12.05,
    13.3, 14.55, 15.8, 17.05, 18.3, 19.55, 20.8, 22.05, 23.3, 24.55, 25.8, 27.05, 28.3, 29.55,
    30.8, 32.05, 33.3, 34.55, 35.8, 37.05, 38.3, 39.55, 40.8, 42.05, 43.3, 44.55, 45.8, 47.05,
    48.3, 49.55, 50.8, 52.05, 53.3, 54.55, 55.8, 'Tutorial 1, second run');
INSERT INTO Measurements (
    [Experiment Date], [Measurement No], C1, zp, E1, K18, K7, K2, K14, K15, K4, K16, K21, K1,
    K5, K6, K11, K12, K8, K9, K10, PSM, PSW, A1, A2, A3, A4, A5, A6, A7, A8, A9, A10, A11, A12,
    A13, A14, A15, A16, A17, A18, A19, A20, A21, F_low, F_high, N_exp, Lin_exp, ERR_LOG, PSM_1,
    PSM_2, CONT_1, CONT_2, ERR_BI, PSMBi, PSMN, PSMM, PSMW, PSWBi, PSW_1, PSW_2, D15, D50, D85,
    Remarks)
  VALUES (
    #2001-01-16 09:00:00#, 1, 5.0, 4.75, 6.0, 7.25, 8.5, 9.75, 11.0, 12.25, 13.5, 14.75, 16.0,
    2.0, 3.25, 4.5, 5.75, 7.0, 8.25, 9.5, 10.75, 1.75, 3.0, 1.5, 5.5, 6.75, 8.0, 9.25, 10.5,
    11.75, 13.0, 14.25, 15.5, 16.75, 18.0, 19.25, 20.5, 21.75, 23.0, 24.25, 25.5, 26.75, 28.0,
    29.25, 30.5, 31.75, 33.0, 34.25, 35.5, 36.75, 38.0, 39.25, 40.5, 41.75, 43.0, 44.25, 45.5,
    46.75, 48.0, 49.25, 50.5, 51.75, 53.0, 54.25, 'Tutorial 2');
INSERT INTO Users ([User Name], [Full Name], [Access Level], Email)
  VALUES ('Tutorial', 'Tutorial user', 1, 'tutorial@example.org');
