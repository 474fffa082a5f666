-- Zentro: structure 497 -> 498
-- Statements are separated by the caret character; the program adds the semicolon.
CREATE TABLE IF NOT EXISTS PICKLIST (
    ID INT NOT NULL AUTO_INCREMENT,
    DATA_CRIACAO DATETIME,
    ABASTECEDOR VARCHAR(60),
    CRIADOR VARCHAR(60),
    ID_LEITOR INT,
    PRIMARY KEY (ID)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci
^
-- Lines of a pick list, shown through VIEW_PICKLIST.
CREATE TABLE IF NOT EXISTS PICKLIST_ITENS (
    ID INT NOT NULL AUTO_INCREMENT,
    ID_PICKLIST INT NOT NULL,
    ID_LISTA_PROD INT,
    VM_ID INT,
    ID_PROD INT,
    QTD_GERADA INT DEFAULT 0,
    PRIMARY KEY (ID),
    KEY IX_PICKLIST_ITENS_PICKLIST (ID_PICKLIST)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci
^
-- Lines of the pick lists made by generatePickList.
CREATE OR REPLACE SQL SECURITY INVOKER VIEW VIEW_PICKLIST AS
SELECT PI.ID_PICKLIST AS ID_PICKLIST,
       PI.VM_ID AS VM_ID,
       P.NOME_PROD AS NOME_PROD,
       PI.QTD_GERADA AS QTD_GERADA
  FROM PICKLIST_ITENS PI
  LEFT JOIN PRODUTOS P ON P.ID_PROD = PI.ID_PROD
^
DROP PROCEDURE IF EXISTS generatePickList
^
-- A refill list for one reader: every product-list position whose stock is
-- below its target gets a line with the quantity that fills it up. The
-- target is ESTOQUE_MAX, or the capacity when no maximum is set, and never
-- above a set capacity. Answers one row with the new pick list's ID.
CREATE PROCEDURE generatePickList(
    IN _criador VARCHAR(60) CHARSET utf8mb4,
    IN _abastecedor VARCHAR(60) CHARSET utf8mb4,
    IN _idleitor INT)
    MODIFIES SQL DATA
    SQL SECURITY INVOKER
BEGIN
    DECLARE v_id INT;
    INSERT INTO PICKLIST (DATA_CRIACAO, ABASTECEDOR, CRIADOR, ID_LEITOR)
    VALUES (NOW(), _abastecedor, _criador, _idleitor);
    SET v_id = LAST_INSERT_ID();
    INSERT INTO PICKLIST_ITENS (ID_PICKLIST, ID_LISTA_PROD, VM_ID, ID_PROD, QTD_GERADA)
    SELECT v_id, A.ID, A.VM_ID, A.ID_PROD, A.ALVO - A.ATUAL
      FROM (SELECT P.ID, P.VM_ID, P.ID_PROD,
                   GREATEST(COALESCE(E.ESTOQUE_ATUAL, 0), 0) AS ATUAL,
                   CASE
                       WHEN COALESCE(E.ESTOQUE_MAX, 0) > 0 AND COALESCE(E.CAPACIDADE, 0) > 0
                           THEN LEAST(E.ESTOQUE_MAX, E.CAPACIDADE)
                       WHEN COALESCE(E.ESTOQUE_MAX, 0) > 0 THEN E.ESTOQUE_MAX
                       ELSE GREATEST(COALESCE(E.CAPACIDADE, 0), 0)
                   END AS ALVO
              FROM LISTAS_PROD P
              JOIN ESTOQUE E ON E.ID = (SELECT MAX(E2.ID) FROM ESTOQUE E2
                                         WHERE E2.ID_LISTA_PROD = P.ID)
             WHERE P.ID_PAI = _idleitor) A
     WHERE A.ALVO > A.ATUAL
     ORDER BY A.VM_ID, A.ID;
    SELECT v_id AS ID;
END
^
UPDATE DBINFO SET VERSION = '498'
^
