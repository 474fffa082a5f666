-- Zentro: structure 504 -> 505
-- Statements are separated by the caret character; the program adds the semicolon.
UPDATE LISTA_NOMES SET EXCLUSAO_DTHR = '1970-01-01 00:00:00' WHERE EXCLUSAO_DTHR IS NULL
^
ALTER TABLE CLIENTESKV
    MODIFY COLUMN CLIKV_LOGO MEDIUMBLOB
^
ALTER TABLE ITENS
    MODIFY COLUMN ETH_DNS VARCHAR(31)
^
ALTER TABLE LOGS
    MODIFY COLUMN TRANSAC_ID BIGINT
^
ALTER TABLE LOGS_CARD
    MODIFY COLUMN CARD MEDIUMBLOB
^
ALTER TABLE LOGS_ERRO
    MODIFY COLUMN TRANSAC_ID BIGINT
^
ALTER TABLE AUTOFORMAT_ITEM
    ADD COLUMN FLAGS INT DEFAULT 0
^
ALTER TABLE LISTA_NOMES
    MODIFY COLUMN AUTOFORMAT_VMID VARCHAR(16),
    MODIFY COLUMN EXCLUSAO_DTHR DATETIME NOT NULL DEFAULT '1970-01-01 00:00:00'
^
INSERT IGNORE INTO TIPO_CARTAO (ID, DESCR)
WITH RECURSIVE N (I) AS (SELECT 0 UNION ALL SELECT I + 1 FROM N WHERE I < 255)
SELECT I, CONCAT('Tipo de cartão ', I) FROM N WHERE I NOT IN (0, 1, 2, 3, 70)
^
DROP FUNCTION IF EXISTS GET_CLIENT_ID
^
-- The top-level client above an item: ID_PAI is followed up to the item
-- whose ID_PAI is -1. Items in stock (-3), unregistered readers (-5) and
-- unknown items belong to no client: 0. The walk stops after 64 levels so
-- that a damaged tree with a cycle cannot hang the caller.
CREATE FUNCTION GET_CLIENT_ID(ID_ITEM_ INT) RETURNS INT
    READS SQL DATA
    SQL SECURITY INVOKER
BEGIN
    DECLARE v_id INT DEFAULT ID_ITEM_;
    DECLARE v_pai INT;
    DECLARE v_niveis INT DEFAULT 0;
    WHILE v_id IS NOT NULL AND v_niveis < 64 DO
        SET v_pai = (SELECT ID_PAI FROM ITENS WHERE ID = v_id);
        IF v_pai IS NULL THEN
            RETURN 0;
        END IF;
        IF v_pai = -1 THEN
            RETURN v_id;
        END IF;
        IF v_pai < 0 THEN
            RETURN 0;
        END IF;
        SET v_id = v_pai;
        SET v_niveis = v_niveis + 1;
    END WHILE;
    RETURN 0;
END
^
DROP FUNCTION IF EXISTS GET_CLIENT_NAME
^
-- Name of the client owning an item (the item itself for a client); empty
-- when the item belongs to no client.
-- Called as: select GET_CLIENT_NAME(id) as NomeCliente
CREATE FUNCTION GET_CLIENT_NAME(ID_ITEM_ INT) RETURNS VARCHAR(25) CHARSET utf8mb4
    READS SQL DATA
    SQL SECURITY INVOKER
BEGIN
    DECLARE v_cliente INT DEFAULT GET_CLIENT_ID(ID_ITEM_);
    IF v_cliente = 0 THEN
        RETURN '';
    END IF;
    RETURN COALESCE((SELECT NOME_LOCAL FROM ITENS WHERE ID = v_cliente), '');
END
^
DROP FUNCTION IF EXISTS CONVERTE_DTHR
^
-- "YYYY-MM-DD hh:mm:ss" as the log import writes it; NULL for anything else,
-- impossible dates included.
CREATE FUNCTION CONVERTE_DTHR(TEXTO_ VARCHAR(40) CHARSET utf8mb4) RETURNS DATETIME
    NO SQL
    DETERMINISTIC
    SQL SECURITY INVOKER
BEGIN
    DECLARE v_texto VARCHAR(40) CHARSET utf8mb4 DEFAULT TRIM(TEXTO_);
    DECLARE v_dthr DATETIME DEFAULT NULL;
    DECLARE CONTINUE HANDLER FOR SQLEXCEPTION SET v_dthr = NULL;
    IF CHAR_LENGTH(v_texto) = 19 AND v_texto LIKE '____-__-__ __:__:__'
       AND CONCAT(LEFT(v_texto, 4), SUBSTRING(v_texto, 6, 2), SUBSTRING(v_texto, 9, 2),
                  SUBSTRING(v_texto, 12, 2), SUBSTRING(v_texto, 15, 2), RIGHT(v_texto, 2))
           REGEXP '[0-9]{14}' THEN
        SET v_dthr = STR_TO_DATE(v_texto, '%Y-%m-%d %H:%i:%s');
    END IF;
    RETURN v_dthr;
END
^
DROP PROCEDURE IF EXISTS CARD_INSERT
^
-- Credit list entry of (ID_PAI_, ID_CARTAO_): inserted, or changed when the
-- item already lists the card. ID_, when given, names the entry being edited.
CREATE PROCEDURE CARD_INSERT(
    IN ID_ INT,
    IN ID_PAI_ INT,
    IN ID_CARTAO_ BIGINT,
    IN AUTO_CREDIT_MODE_ SMALLINT,
    IN CREDITO_ INT,
    OUT SQL_ERR INT)
    MODIFIES SQL DATA
    SQL SECURITY INVOKER
BEGIN
    DECLARE v_id INT;
    IF ID_PAI_ IS NULL OR ID_CARTAO_ IS NULL OR ID_CARTAO_ < 0 OR ID_CARTAO_ > 4294967294
       OR NOT EXISTS (SELECT 1 FROM ITENS WHERE ID = ID_PAI_ AND EXCLUIDO = '0') THEN
        SET SQL_ERR = -625;
    ELSEIF EXISTS (SELECT 1 FROM LISTAS_CREDITOS L JOIN ITENS I ON I.ID = L.ID_PAI
                    WHERE L.ID_CARTAO = ID_CARTAO_ AND L.ID_PAI <> ID_PAI_ AND I.EXCLUIDO = '0'
                      AND GET_CLIENT_ID(L.ID_PAI) NOT IN (0, GET_CLIENT_ID(ID_PAI_))) THEN
        SET SQL_ERR = 100001;
    ELSE
        SET v_id = (SELECT MIN(ID) FROM LISTAS_CREDITOS
                     WHERE ID_PAI = ID_PAI_ AND ID_CARTAO = ID_CARTAO_);
        IF ID_ IS NOT NULL AND (v_id IS NULL OR v_id = ID_)
           AND EXISTS (SELECT 1 FROM LISTAS_CREDITOS WHERE ID = ID_ AND ID_PAI = ID_PAI_) THEN
            UPDATE LISTAS_CREDITOS
               SET ID_CARTAO = ID_CARTAO_,
                   AUTO_CREDIT_MODE = COALESCE(AUTO_CREDIT_MODE_, AUTO_CREDIT_MODE),
                   CREDITO = COALESCE(CREDITO_, CREDITO)
             WHERE ID = ID_;
        ELSEIF v_id IS NOT NULL THEN
            UPDATE LISTAS_CREDITOS
               SET AUTO_CREDIT_MODE = COALESCE(AUTO_CREDIT_MODE_, AUTO_CREDIT_MODE),
                   CREDITO = COALESCE(CREDITO_, CREDITO)
             WHERE ID_PAI = ID_PAI_ AND ID_CARTAO = ID_CARTAO_;
        ELSE
            INSERT INTO LISTAS_CREDITOS (ID_PAI, ID_CARTAO, AUTO_CREDIT_MODE, CREDITO)
            VALUES (ID_PAI_, ID_CARTAO_, COALESCE(AUTO_CREDIT_MODE_, 1), COALESCE(CREDITO_, 0));
        END IF;
        SET SQL_ERR = 0;
    END IF;
    SELECT SQL_ERR AS SQL_ERR;
END
^
DROP PROCEDURE IF EXISTS GRUPO_INSERT
^
-- Group list entry of (ID_PAI_, ID_CARTAO_); GRUPO_ is one of the 35 group
-- characters 0-9, A-Y (stored in upper case).
CREATE PROCEDURE GRUPO_INSERT(
    IN ID_PAI_ INT,
    IN ID_CARTAO_ BIGINT,
    IN GRUPO_ VARCHAR(10) CHARSET utf8mb4,
    OUT SQL_ERR INT)
    MODIFIES SQL DATA
    SQL SECURITY INVOKER
BEGIN
    DECLARE v_grupo VARCHAR(10) CHARSET utf8mb4 DEFAULT UPPER(TRIM(GRUPO_));
    IF ID_PAI_ IS NULL OR ID_CARTAO_ IS NULL OR ID_CARTAO_ < 0 OR ID_CARTAO_ > 4294967294
       OR v_grupo IS NULL OR CHAR_LENGTH(v_grupo) <> 1
       OR INSTR(BINARY '0123456789ABCDEFGHIJKLMNOPQRSTUVWXY', BINARY v_grupo) = 0
       OR NOT EXISTS (SELECT 1 FROM ITENS WHERE ID = ID_PAI_ AND EXCLUIDO = '0') THEN
        SET SQL_ERR = -625;
    ELSEIF EXISTS (SELECT 1 FROM LISTAS_GRUPOS L JOIN ITENS I ON I.ID = L.ID_PAI
                    WHERE L.ID_CARTAO = ID_CARTAO_ AND L.ID_PAI <> ID_PAI_ AND I.EXCLUIDO = '0'
                      AND GET_CLIENT_ID(L.ID_PAI) NOT IN (0, GET_CLIENT_ID(ID_PAI_))) THEN
        SET SQL_ERR = 100001;
    ELSE
        IF EXISTS (SELECT 1 FROM LISTAS_GRUPOS WHERE ID_PAI = ID_PAI_ AND ID_CARTAO = ID_CARTAO_) THEN
            UPDATE LISTAS_GRUPOS SET GRUPO = v_grupo
             WHERE ID_PAI = ID_PAI_ AND ID_CARTAO = ID_CARTAO_;
        ELSE
            INSERT INTO LISTAS_GRUPOS (ID_PAI, ID_CARTAO, GRUPO)
            VALUES (ID_PAI_, ID_CARTAO_, v_grupo);
        END IF;
        SET SQL_ERR = 0;
    END IF;
    SELECT SQL_ERR AS SQL_ERR;
END
^
DROP PROCEDURE IF EXISTS BONUS_INSERT
^
-- Bonus list entry of (ID_PAI_, ID_CARTAO_); a card already listed stays as it is.
CREATE PROCEDURE BONUS_INSERT(
    IN ID_PAI_ INT,
    IN ID_CARTAO_ BIGINT,
    OUT SQL_ERR INT)
    MODIFIES SQL DATA
    SQL SECURITY INVOKER
BEGIN
    IF ID_PAI_ IS NULL OR ID_CARTAO_ IS NULL OR ID_CARTAO_ < 0 OR ID_CARTAO_ > 4294967294
       OR NOT EXISTS (SELECT 1 FROM ITENS WHERE ID = ID_PAI_ AND EXCLUIDO = '0') THEN
        SET SQL_ERR = -625;
    ELSEIF EXISTS (SELECT 1 FROM LISTAS_BONUS L JOIN ITENS I ON I.ID = L.ID_PAI
                    WHERE L.ID_CARTAO = ID_CARTAO_ AND L.ID_PAI <> ID_PAI_ AND I.EXCLUIDO = '0'
                      AND GET_CLIENT_ID(L.ID_PAI) NOT IN (0, GET_CLIENT_ID(ID_PAI_))) THEN
        SET SQL_ERR = 100001;
    ELSE
        IF NOT EXISTS (SELECT 1 FROM LISTAS_BONUS WHERE ID_PAI = ID_PAI_ AND ID_CARTAO = ID_CARTAO_) THEN
            INSERT INTO LISTAS_BONUS (ID_PAI, ID_CARTAO) VALUES (ID_PAI_, ID_CARTAO_);
        END IF;
        SET SQL_ERR = 0;
    END IF;
    SELECT SQL_ERR AS SQL_ERR;
END
^
DROP PROCEDURE IF EXISTS NEGRA_INSERT
^
-- Exclusion (black or white) list entry of (ID_PAI_, ID_CARTAO_).
CREATE PROCEDURE NEGRA_INSERT(
    IN ID_PAI_ INT,
    IN ID_CARTAO_ BIGINT,
    OUT SQL_ERR INT)
    MODIFIES SQL DATA
    SQL SECURITY INVOKER
BEGIN
    IF ID_PAI_ IS NULL OR ID_CARTAO_ IS NULL OR ID_CARTAO_ < 0 OR ID_CARTAO_ > 4294967294
       OR NOT EXISTS (SELECT 1 FROM ITENS WHERE ID = ID_PAI_ AND EXCLUIDO = '0') THEN
        SET SQL_ERR = -625;
    ELSEIF EXISTS (SELECT 1 FROM LISTAS_NEGRAS L JOIN ITENS I ON I.ID = L.ID_PAI
                    WHERE L.ID_CARTAO = ID_CARTAO_ AND L.ID_PAI <> ID_PAI_ AND I.EXCLUIDO = '0'
                      AND GET_CLIENT_ID(L.ID_PAI) NOT IN (0, GET_CLIENT_ID(ID_PAI_))) THEN
        SET SQL_ERR = 100001;
    ELSE
        IF NOT EXISTS (SELECT 1 FROM LISTAS_NEGRAS WHERE ID_PAI = ID_PAI_ AND ID_CARTAO = ID_CARTAO_) THEN
            INSERT INTO LISTAS_NEGRAS (ID_PAI, ID_CARTAO) VALUES (ID_PAI_, ID_CARTAO_);
        END IF;
        SET SQL_ERR = 0;
    END IF;
    SELECT SQL_ERR AS SQL_ERR;
END
^
DROP PROCEDURE IF EXISTS PROD_INSERT
^
-- Product list row of a reader. A position holds one product (in one or more
-- groups); the same product, position and group again changes the price.
-- New rows get their stock row.
CREATE PROCEDURE PROD_INSERT(
    IN ID_PAI_ INT,
    IN VM_ID_ INT,
    IN PRECO_ INT,
    IN ID_PROD_ INT,
    IN GRUPO_ VARCHAR(10) CHARSET utf8mb4,
    OUT SQL_ERR INT)
    MODIFIES SQL DATA
    SQL SECURITY INVOKER
BEGIN
    DECLARE v_grupo VARCHAR(10) CHARSET utf8mb4 DEFAULT UPPER(TRIM(GRUPO_));
    DECLARE v_id INT;
    IF ID_PAI_ IS NULL OR VM_ID_ IS NULL OR PRECO_ IS NULL OR PRECO_ < 0 OR ID_PROD_ IS NULL
       OR v_grupo IS NULL OR CHAR_LENGTH(v_grupo) <> 1
       OR INSTR(BINARY '*0123456789ABCDEFGHIJKLMNOPQRSTUVWXY', BINARY v_grupo) = 0
       OR NOT EXISTS (SELECT 1 FROM ITENS WHERE ID = ID_PAI_ AND EXCLUIDO = '0')
       OR NOT EXISTS (SELECT 1 FROM PRODUTOS WHERE ID_PROD = ID_PROD_) THEN
        SET SQL_ERR = -625;
    ELSEIF EXISTS (SELECT 1 FROM LISTAS_PROD
                    WHERE ID_PAI = ID_PAI_ AND VM_ID = VM_ID_ AND ID_PROD <> ID_PROD_) THEN
        SET SQL_ERR = 100001;
    ELSE
        SET v_id = (SELECT MIN(ID) FROM LISTAS_PROD
                     WHERE ID_PAI = ID_PAI_ AND VM_ID = VM_ID_ AND ID_PROD = ID_PROD_
                       AND GRUPO = v_grupo);
        IF v_id IS NULL THEN
            INSERT INTO LISTAS_PROD (ID_PAI, VM_ID, PRECO, ID_PROD, GRUPO, ALTERACAO_DTHR)
            VALUES (ID_PAI_, VM_ID_, PRECO_, ID_PROD_, v_grupo, NOW());
            SET v_id = LAST_INSERT_ID();
        ELSE
            UPDATE LISTAS_PROD SET PRECO = PRECO_, ALTERACAO_DTHR = NOW() WHERE ID = v_id;
        END IF;
        IF NOT EXISTS (SELECT 1 FROM ESTOQUE WHERE ID_LISTA_PROD = v_id) THEN
            INSERT INTO ESTOQUE (ID_LISTA_PROD, ESTOQUE_MIN, ESTOQUE_MAX, CAPACIDADE, ESTOQUE_ATUAL)
            VALUES (v_id, 0, 0, 0, 0);
        END IF;
        SET SQL_ERR = 0;
    END IF;
    SELECT SQL_ERR AS SQL_ERR;
END
^
DROP PROCEDURE IF EXISTS LOG_INSERT
^
-- One transaction log into LOGS.
-- A log is the same when reader serial, transaction number, time and value
-- agree (-803); the same serial and number with other content is not a new
-- log (100001). A log of a serial that no live item carries is stored with
-- ID_CLIENTE 0 and answered 100002, so that the card import, which does not
-- send the record again after registering the reader, loses nothing; sent
-- again it is answered -803.
-- ID_CLIENTE: the one given when above 0, otherwise the reader's top-level
-- client (0 while the reader is in stock or unregistered).
-- LOG_TIPO: logs reaching this procedure come from collection cards or their
-- CSV copies, which are offline transactions: 0 ("OFF" in the reports).
-- Logs reported online by the readers are 1 ("ON").
-- A serial longer than the 16 characters of LOGS.HW_SERIE, a missing
-- transaction number or an unreadable time is refused with -625.
CREATE PROCEDURE LOG_INSERT(
    IN TAG_ SMALLINT,
    IN TRANSAC_TP_ SMALLINT,
    IN NAME_USER_ VARCHAR(40) CHARSET utf8mb4,
    IN GR_USER_ VARCHAR(1) CHARSET utf8mb4,
    IN PURSE_ID_ SMALLINT,
    IN CARDTYPE_ SMALLINT,
    IN VM_ID_ INT,
    IN TRANSAC_ID_ BIGINT,
    IN PROD_ID_ BIGINT,
    IN PROD_ID_VM_ BIGINT,
    IN TRANSAC_DTHR_ VARCHAR(40) CHARSET utf8mb4,
    IN SEQT_CARD_ BIGINT,
    IN TRANSAC_VL_ BIGINT,
    IN CARD_ID_ BIGINT,
    IN CARD_IDENT_ VARCHAR(40) CHARSET utf8mb4,
    IN SALDO_INI_ BIGINT,
    IN HW_SERIE_ VARCHAR(40) CHARSET utf8mb4,
    IN READER_VERSION_ VARCHAR(4) CHARSET utf8mb4,
    IN VALID_CRC_ VARCHAR(1) CHARSET utf8mb4,
    IN IS_LOG_ERROR_ VARCHAR(1) CHARSET utf8mb4,
    IN EDITADO_ VARCHAR(1) CHARSET utf8mb4,
    IN ID_CLIENTE_ INT,
    IN CRC_ BIGINT,
    OUT SQL_ERR INT)
    MODIFIES SQL DATA
    SQL SECURITY INVOKER
BEGIN
    DECLARE v_dthr DATETIME DEFAULT CONVERTE_DTHR(TRANSAC_DTHR_);
    DECLARE v_leitor INT;
    DECLARE v_cliente INT;
    DECLARE EXIT HANDLER FOR SQLEXCEPTION
    BEGIN
        SET SQL_ERR = -999;
        SELECT SQL_ERR AS SQL_ERR;
    END;

    IF HW_SERIE_ IS NULL OR CHAR_LENGTH(TRIM(HW_SERIE_)) = 0 OR CHAR_LENGTH(HW_SERIE_) > 16
       OR TRANSAC_ID_ IS NULL OR v_dthr IS NULL THEN
        SET SQL_ERR = -625;
    ELSEIF EXISTS (SELECT 1 FROM LOGS
                    WHERE HW_SERIE = HW_SERIE_ AND TRANSAC_ID = TRANSAC_ID_
                      AND TRANSAC_DTHR = v_dthr AND TRANSAC_VL <=> TRANSAC_VL_) THEN
        SET SQL_ERR = -803;
    ELSEIF EXISTS (SELECT 1 FROM LOGS WHERE HW_SERIE = HW_SERIE_ AND TRANSAC_ID = TRANSAC_ID_) THEN
        SET SQL_ERR = 100001;
    ELSE
        SET v_leitor = (SELECT MAX(ID) FROM ITENS WHERE HW_SERIE = HW_SERIE_ AND EXCLUIDO = '0');
        IF ID_CLIENTE_ > 0 THEN
            SET v_cliente = ID_CLIENTE_;
        ELSEIF v_leitor IS NULL THEN
            SET v_cliente = 0;
        ELSE
            SET v_cliente = GET_CLIENT_ID(v_leitor);
        END IF;
        INSERT INTO LOGS (TAG, TRANSAC_TP, NAME_USER, GR_USER, PURSE_ID, CARDTYPE, VM_ID,
                          TRANSAC_ID, PROD_ID, PROD_ID_VM, TRANSAC_DTHR, SEQT_CARD, TRANSAC_VL,
                          CARD_ID, CARD_IDENT, SALDO_INI, HW_SERIE, VALID_CRC, IS_LOG_ERROR,
                          EDITADO, ID_CLIENTE, CRC, LOG_TIPO)
        VALUES (TAG_, TRANSAC_TP_, NAME_USER_, GR_USER_, PURSE_ID_, CARDTYPE_, VM_ID_,
                TRANSAC_ID_, PROD_ID_, PROD_ID_VM_, v_dthr, SEQT_CARD_, TRANSAC_VL_,
                CARD_ID_, CARD_IDENT_, SALDO_INI_, HW_SERIE_,
                COALESCE(NULLIF(VALID_CRC_, ''), '0'), COALESCE(NULLIF(IS_LOG_ERROR_, ''), '0'),
                COALESCE(NULLIF(EDITADO_, ''), '0'), v_cliente, COALESCE(CRC_, 0), 0);
        IF v_leitor IS NULL THEN
            SET SQL_ERR = 100002;
        ELSE
            SET SQL_ERR = 0;
        END IF;
    END IF;
    SELECT SQL_ERR AS SQL_ERR;
END
^
DROP PROCEDURE IF EXISTS LOG_ERROR_INSERT
^
-- A log that LOGS did not take, kept in LOGS_ERRO with the program's reason
-- (MOTIVO_) and its source line. Every such log is kept, whatever its reader
-- or content, because this is where refused logs must survive; only the very
-- same record (same serial, number, time, value, reason and source line)
-- kept before is answered -803. ID_CLIENTE as in LOG_INSERT.
CREATE PROCEDURE LOG_ERROR_INSERT(
    IN TAG_ SMALLINT,
    IN TRANSAC_TP_ SMALLINT,
    IN NAME_USER_ VARCHAR(40) CHARSET utf8mb4,
    IN GR_USER_ VARCHAR(1) CHARSET utf8mb4,
    IN PURSE_ID_ SMALLINT,
    IN CARDTYPE_ SMALLINT,
    IN VM_ID_ INT,
    IN TRANSAC_ID_ BIGINT,
    IN PROD_ID_ BIGINT,
    IN PROD_ID_VM_ BIGINT,
    IN TRANSAC_DTHR_ VARCHAR(40) CHARSET utf8mb4,
    IN SEQT_CARD_ BIGINT,
    IN TRANSAC_VL_ BIGINT,
    IN CARD_ID_ BIGINT,
    IN CARD_IDENT_ VARCHAR(40) CHARSET utf8mb4,
    IN SALDO_INI_ BIGINT,
    IN HW_SERIE_ VARCHAR(40) CHARSET utf8mb4,
    IN READER_VERSION_ VARCHAR(4) CHARSET utf8mb4,
    IN VALID_CRC_ VARCHAR(1) CHARSET utf8mb4,
    IN IS_LOG_ERROR_ VARCHAR(1) CHARSET utf8mb4,
    IN EDITADO_ VARCHAR(1) CHARSET utf8mb4,
    IN ID_CLIENTE_ INT,
    IN CRC_ BIGINT,
    IN MOTIVO_ INT,
    IN LOG_ORIGEM_ TEXT CHARSET utf8mb4,
    OUT SQL_ERR INT)
    MODIFIES SQL DATA
    SQL SECURITY INVOKER
BEGIN
    DECLARE v_dthr DATETIME DEFAULT CONVERTE_DTHR(TRANSAC_DTHR_);
    DECLARE v_leitor INT;
    DECLARE v_cliente INT;
    DECLARE EXIT HANDLER FOR SQLEXCEPTION
    BEGIN
        SET SQL_ERR = -999;
        SELECT SQL_ERR AS SQL_ERR;
    END;

    IF EXISTS (SELECT 1 FROM LOGS_ERRO
                WHERE HW_SERIE <=> HW_SERIE_ AND TRANSAC_ID <=> TRANSAC_ID_
                  AND TRANSAC_DTHR <=> v_dthr AND TRANSAC_VL <=> TRANSAC_VL_
                  AND MOTIVO <=> MOTIVO_ AND LOG_ORIGEM <=> LOG_ORIGEM_) THEN
        SET SQL_ERR = -803;
    ELSE
        SET v_leitor = (SELECT MAX(ID) FROM ITENS WHERE HW_SERIE = HW_SERIE_ AND EXCLUIDO = '0');
        IF ID_CLIENTE_ > 0 THEN
            SET v_cliente = ID_CLIENTE_;
        ELSEIF v_leitor IS NULL THEN
            SET v_cliente = 0;
        ELSE
            SET v_cliente = GET_CLIENT_ID(v_leitor);
        END IF;
        INSERT INTO LOGS_ERRO (TAG, TRANSAC_TP, NAME_USER, GR_USER, PURSE_ID, CARDTYPE, VM_ID,
                               TRANSAC_ID, PROD_ID, PROD_ID_VM, TRANSAC_DTHR, SEQT_CARD,
                               TRANSAC_VL, CARD_ID, CARD_IDENT, SALDO_INI, HW_SERIE,
                               READER_VERSION, VALID_CRC, IS_LOG_ERROR, EDITADO, ID_CLIENTE,
                               CRC, LOG_TIPO, MOTIVO, LOG_ORIGEM, INCLUSAO_DTHR)
        VALUES (TAG_, TRANSAC_TP_, NAME_USER_, GR_USER_, PURSE_ID_, CARDTYPE_, VM_ID_,
                TRANSAC_ID_, PROD_ID_, PROD_ID_VM_, v_dthr, SEQT_CARD_,
                TRANSAC_VL_, CARD_ID_, CARD_IDENT_, SALDO_INI_, HW_SERIE_,
                READER_VERSION_, COALESCE(NULLIF(VALID_CRC_, ''), '0'),
                COALESCE(NULLIF(IS_LOG_ERROR_, ''), '0'), COALESCE(NULLIF(EDITADO_, ''), '0'),
                v_cliente, COALESCE(CRC_, 0), 0, MOTIVO_, LOG_ORIGEM_, NOW());
        SET SQL_ERR = 0;
    END IF;
    SELECT SQL_ERR AS SQL_ERR;
END
^
DROP PROCEDURE IF EXISTS p_NAME_INDEX
^
-- Creates a new item under a parent with a name not yet used by a live item
-- of that parent: the base name, else the base name followed by " #n" (the
-- base cut so that the whole fits the 25 characters of NOME_LOCAL).
-- Answers TEXTO_GERADO (the name) and ID_GERADO (the new ITENS.ID).
CREATE PROCEDURE p_NAME_INDEX(
    IN NOME_BASE_ VARCHAR(255) CHARSET utf8mb4,
    IN ID_PAI_ INT)
    MODIFIES SQL DATA
    SQL SECURITY INVOKER
BEGIN
    DECLARE v_base VARCHAR(255) CHARSET utf8mb4 DEFAULT TRIM(COALESCE(NOME_BASE_, ''));
    DECLARE v_nome VARCHAR(25) CHARSET utf8mb4;
    DECLARE v_sufixo VARCHAR(12) CHARSET utf8mb4;
    DECLARE v_n INT DEFAULT 0;
    IF v_base = '' THEN
        SET v_base = 'Novo Item';
    END IF;
    SET v_nome = RTRIM(LEFT(v_base, 25));
    WHILE EXISTS (SELECT 1 FROM ITENS
                   WHERE ID_PAI = ID_PAI_ AND EXCLUIDO = '0' AND NOME_LOCAL = v_nome) DO
        SET v_n = v_n + 1;
        SET v_sufixo = CONCAT(' #', v_n);
        SET v_nome = CONCAT(RTRIM(LEFT(v_base, 25 - CHAR_LENGTH(v_sufixo))), v_sufixo);
    END WHILE;
    INSERT INTO ITENS (NOME_LOCAL, ID_PAI, TIPO_EQUIP, EM_MANUTENCAO, TEM_FILHO, EXCLUIDO, DATA_INCLUI)
    VALUES (v_nome, ID_PAI_, 1, '0', '0', '0', NOW());
    SELECT v_nome AS TEXTO_GERADO, LAST_INSERT_ID() AS ID_GERADO;
END
^
UPDATE DBINFO SET VERSION = '505'
^
