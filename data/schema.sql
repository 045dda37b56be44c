-- The journal of a toxicology laboratory: one record per analysed object.
CREATE TABLE analysis (
  OBJ_NUM     INTEGER NOT NULL,   -- case history number
  OBJ_GETD    DATE,               -- date of sampling
  OBJ_DELIVD  DATE,               -- date of receipt
  AN_DATE     DATE,               -- date of analysis
  PATIENT     VARCHAR(120),
  BIRTH_YEAR  INTEGER,
  INSTITUTION VARCHAR(160),
  OBJ_KIND    VARCHAR(60),
  SUBSTANCES  VARCHAR(255),
  CONC_BLOOD  DOUBLE,
  CONC_URINE  DOUBLE,
  UNITS       VARCHAR(20),
  METHOD      VARCHAR(120),
  ANALYST     VARCHAR(80),
  CONCLUSION  VARCHAR(255),
  NOTE        LONGTEXT
);
CREATE INDEX analysis_obj_num ON analysis (OBJ_NUM);
CREATE INDEX analysis_an_date ON analysis (AN_DATE, OBJ_NUM);
CREATE INDEX analysis_obj_delivd ON analysis (OBJ_DELIVD, OBJ_NUM);
CREATE INDEX analysis_obj_getd ON analysis (OBJ_GETD, OBJ_NUM);

-- Which fields the form and filter views show, in which order, under which label.
CREATE TABLE alias (
  FNAME VARCHAR(64),
  FDESC VARCHAR(255),
  ord   INTEGER
);
INSERT INTO alias (FNAME, FDESC, ord) VALUES
  ('OBJ_NUM', '№ истории болезни', 1),
  ('OBJ_GETD', 'Дата отбора', 2),
  ('OBJ_DELIVD', 'Дата поступления', 3),
  ('AN_DATE', 'Дата анализа', 4),
  ('PATIENT', 'Ф.И.О.', 5),
  ('BIRTH_YEAR', 'Год рождения', 6),
  ('INSTITUTION', 'Направившее учреждение', 7),
  ('OBJ_KIND', 'Объект исследования', 8),
  ('SUBSTANCES', 'Обнаружено', 9),
  ('CONC_BLOOD', 'Концентрация в крови', 10),
  ('CONC_URINE', 'Концентрация в моче', 11),
  ('UNITS', 'Ед. изм.', 12),
  ('METHOD', 'Метод', 13),
  ('ANALYST', 'Эксперт', 14),
  ('CONCLUSION', 'Заключение', 15),
  ('NOTE', 'Примечание', 16);
