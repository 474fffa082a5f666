-- Zentro demo data, loaded after db/schema:  cat db/demo/*.sql | mariadb DB
--
-- Fixed IDs (other work relies on them):
--   ITENS clients (ID_PAI -1)
--       1 Metalúrgica Açoforte      2 Hospital São Lucas      3 Colégio Nova Geração
--       4 Transportes Rápido Sul    5 Padaria Pão de Ouro
--   ITENS sub-divisions
--       6 ÁREA INDUSTRIAL (of 1)    7 ADMINISTRAÇÃO (of 1)    8 PRONTO-SOCORRO (of 2)
--   ITENS readers, serial A0B1C2D3E4F50 + ID (e.g. 101 -> A0B1C2D3E4F50101)
--     101 REFEITÓRIO 1 (6)  own configuration, own lists, product list
--     102 REFEITÓRIO 2 (6)  in maintenance
--     103 RECEPÇÃO (7)      own configuration, own credit list
--     104 CORREDOR A (8)
--     105 SALA DE ESPERA (2) client 2's master configuration, product list
--     106 CANTINA (3)        107 PÁTIO (3, in maintenance)
--     108 GARAGEM (4, pulses)  109 ESCRITÓRIO (4)   110 LOJA CENTRO (5, Executive)
--     111..114 LEITOR RESERVA 1..4 in stock (ID_PAI -3)
--     115 unregistered (ID_PAI -5), named after its serial A0B1C2D3E4F50115
--   CONFIGURACOES 1 master of client 1, 2 master of client 2 (online server and
--     consumer free fields), 3 reader 101, 4 reader 103
--   PRODUTOS 1 CAFÉ, 2 CAPUCCINO, 3 CHOCOLATE, 4 ÁGUA, 5 REFRIG., 6 BISCOITO,
--     7 CHÁ MATE (deleted)
--   LISTAS_PROD 1..5 reader 101, 6..8 reader 105 (ESTOQUE 1..8, one per row)
--   LISTAS_CREDITOS 1..5 client 1 cards 1001..1005, 6..7 reader 103 cards 2001..2002,
--     8..10 client 2 cards 3001..3003
--   LISTAS_GRUPOS 1..2 client 1 (1001 A, 1002 B), 3 client 2 (3001 1)
--   LISTAS_BONUS 1 client 1 card 1003;  LISTAS_NEGRAS 1 client 2 card 3999
--   LISTA_NOMES 1..3 users of client 1
--   CONSUMIDOR 1..4 (4 deactivated); links to clients 2 and 3
--   LOGS 1..120 over the last 20 days for readers 101, 103, 105, 106, 108, 110
--     (times relative to the day the data is loaded), 121 of the unregistered reader 115

INSERT INTO ITENS (ID, NOME_LOCAL, HW_SERIE, ID_PAI, TIPO_EQUIP, USAR_MASTER_CONFS,
                   USAR_MASTER_LCRED, USAR_MASTER_LGROUP, USAR_MASTER_LBONUS,
                   USAR_MASTER_LAUTOFORMAT, EM_MANUTENCAO, TEM_FILHO, EXCLUIDO, DATA_INCLUI,
                   FLAG_VMC, FLAG_VMC2, VERSAO)
VALUES
    (1, 'Metalúrgica Açoforte', NULL, -1, 1, 0, 0, 0, 0, 0, '0', '1', '0', '2025-02-03 09:15:00', 0, 0, 0),
    (2, 'Hospital São Lucas', NULL, -1, 1, 0, 0, 0, 0, 0, '0', '1', '0', '2025-02-10 14:30:00', 0, 0, 0),
    (3, 'Colégio Nova Geração', NULL, -1, 1, 0, 0, 0, 0, 0, '0', '1', '0', '2025-03-01 10:00:00', 0, 0, 0),
    (4, 'Transportes Rápido Sul', NULL, -1, 1, 0, 0, 0, 0, 0, '0', '1', '0', '2025-03-18 08:45:00', 0, 0, 0),
    (5, 'Padaria Pão de Ouro', NULL, -1, 1, 0, 0, 0, 0, 0, '0', '1', '0', '2025-04-07 16:20:00', 0, 0, 0),
    (6, 'ÁREA INDUSTRIAL', NULL, 1, 1, 0, 0, 0, 0, 0, '0', '1', '0', '2025-02-03 09:20:00', 0, 0, 0),
    (7, 'ADMINISTRAÇÃO', NULL, 1, 1, 0, 0, 0, 0, 0, '0', '1', '0', '2025-02-03 09:22:00', 0, 0, 0),
    (8, 'PRONTO-SOCORRO', NULL, 2, 1, 0, 0, 0, 0, 0, '0', '1', '0', '2025-02-10 14:40:00', 0, 0, 0),
    (101, 'REFEITÓRIO 1', 'A0B1C2D3E4F50101', 6, 4, 0, 0, 0, 0, 0, '0', '0', '0', '2025-02-04 10:00:00', 4352, 0, 3),
    (102, 'REFEITÓRIO 2', 'A0B1C2D3E4F50102', 6, 4, 1, 1, 1, 1, 1, '1', '0', '0', '2025-02-04 10:05:00', 4352, 0, 2),
    (103, 'RECEPÇÃO', 'A0B1C2D3E4F50103', 7, 3, 0, 0, 1, 1, 1, '0', '0', '0', '2025-02-05 11:00:00', 4352, 0, 1),
    (104, 'CORREDOR A', 'A0B1C2D3E4F50104', 8, 3, 2, 1, 1, 1, 1, '0', '0', '0', '2025-02-11 09:00:00', 4352, 0, 0),
    (105, 'SALA DE ESPERA', 'A0B1C2D3E4F50105', 2, 4, 2, 1, 1, 1, 1, '0', '0', '0', '2025-02-11 09:30:00', 4352, 0, 1),
    (106, 'CANTINA', 'A0B1C2D3E4F50106', 3, 2, 3, 1, 1, 1, 1, '0', '0', '0', '2025-03-02 08:00:00', 4352, 0, 0),
    (107, 'PÁTIO', 'A0B1C2D3E4F50107', 3, 2, 3, 1, 1, 1, 1, '1', '0', '0', '2025-03-02 08:10:00', 4352, 0, 0),
    (108, 'GARAGEM', 'A0B1C2D3E4F50108', 4, 2, 4, 1, 1, 1, 1, '0', '0', '0', '2025-03-19 07:30:00', 32768, 0, 0),
    (109, 'ESCRITÓRIO', 'A0B1C2D3E4F50109', 4, 3, 4, 1, 1, 1, 1, '0', '0', '0', '2025-03-19 07:40:00', 4352, 0, 0),
    (110, 'LOJA CENTRO', 'A0B1C2D3E4F50110', 5, 4, 5, 1, 1, 1, 1, '0', '0', '0', '2025-04-08 06:50:00', 8192, 512, 0),
    (111, 'LEITOR RESERVA 1', 'A0B1C2D3E4F50111', -3, 4, -3, -3, -3, -3, -3, '0', '0', '0', '2025-01-20 15:00:00', 0, 0, 0),
    (112, 'LEITOR RESERVA 2', 'A0B1C2D3E4F50112', -3, 4, -3, -3, -3, -3, -3, '0', '0', '0', '2025-01-20 15:01:00', 0, 0, 0),
    (113, 'LEITOR RESERVA 3', 'A0B1C2D3E4F50113', -3, 3, -3, -3, -3, -3, -3, '0', '0', '0', '2025-01-20 15:02:00', 0, 0, 0),
    (114, 'LEITOR RESERVA 4', 'A0B1C2D3E4F50114', -3, 2, -3, -3, -3, -3, -3, '0', '0', '0', '2025-01-20 15:03:00', 0, 0, 0),
    (115, 'A0B1C2D3E4F50115', 'A0B1C2D3E4F50115', -5, 1, 0, 0, 0, 0, 0, '0', '0', '0', '2025-05-02 13:12:00', 0, 0, 0);

-- Online settings of two readers; the others keep the defaults.
UPDATE ITENS SET USE_ETHERNET = 1, ETH_IP = '192.168.10.21', ETH_MASK = '255.255.255.0',
                 ETH_GATEWAY = '192.168.10.1', ETH_DNS = '8.8.8.8,1.1.1.1'
 WHERE ID = 105;
UPDATE ITENS SET USE_GPRS = 1, GPRS_APN = 'zap.vivo.com.br', GPRS_USER = 'vivo', GPRS_PASSWORD = 'vivo'
 WHERE ID = 110;

INSERT INTO COMENTARIOS (ID, ID_PAI, DATA, COMENTARIO, TIPO, INCLUSAO_DTHR, INCLUSAO_USUARIO) VALUES
    (1, 102, '2025-05-12 10:30:00', 'Leitor não reconhece cartões. Enviado para troca do módulo de antena.', 0, '2025-05-12 10:30:00', 0),
    (2, 107, '2025-05-20 15:45:00', 'Máquina danificada por umidade no pátio; aguardando peças.', 0, '2025-05-20 15:45:00', 0);

INSERT INTO CONFIGURACOES (ID, ID_PAI, CARDKEY, BEEPPOSVENDA, MAXUSERCREDIT, MAXSUPERVCREDIT,
                           VALIDDAYS, DISPLAY_NAME, AUTOCREDITENABLED,
                           AUTOCREDITVALUE_G1, AUTOCREDITMODE_G1, USERFLAGS_G1, MAXDAYSALES_G1, MAXCREDITVALUE_G1,
                           AUTOCREDITVALUE_GA, AUTOCREDITMODE_GA, USERFLAGS_GA, MAXDAYSALES_GA, MAXCREDITVALUE_GA,
                           ALTERACAO_DTHR)
VALUES
    (1, 1, -1, 0, 60000, 100000, 180, 'ACOFORTE', 1, 5000, 1, 1, 2000, 20000, 8000, 41, 1, 3000, 30000, '2025-02-03 09:30:00'),
    (2, 2, -1, 1, 50000, 60000, 0, 'SAO LUCAS', 0, 0, 1, 2, 0, 0, 0, 1, 2, 0, 0, '2025-02-10 15:00:00'),
    (3, 101, -1, 0, 60000, 60000, 365, 'REFEITORIO', 1, 3000, 3, 1, 1500, 9000, 0, 1, 2, 0, 0, '2025-02-04 10:30:00'),
    (4, 103, -1, 3, 40000, 60000, 0, 'RECEPCAO', 0, 0, 1, 2, 0, 0, 0, 1, 2, 0, 0, '2025-02-05 11:15:00');

UPDATE CONFIGURACOES
   SET SERVER_ADDR = 'servidor.saolucas.com.br', SERVER_ADDR_IP = '200.150.10.20',
       SERVER_PORT = '8080', SERVER_URL = '/cashless/transacao', TIMEOUT_ONLINE = '20',
       SERVER_ADDR_IP_SECONDARY = '', SERVER_ADDR_IP_FALLBACK = '',
       CONFIG_CAMPO1 = 'MATRICULA', CONFIG_DESCR_CAMPO1 = 'Matrícula do funcionário', CONFIG_ATV_CAMPO1 = 1,
       CONFIG_CAMPO2 = 'SETOR', CONFIG_DESCR_CAMPO2 = 'Setor de lotação', CONFIG_ATV_CAMPO2 = 1,
       CONFIG_CAMPO3 = 'RAMAL', CONFIG_DESCR_CAMPO3 = 'Ramal', CONFIG_ATV_CAMPO3 = 0
 WHERE ID = 2;

INSERT INTO PRODUTOS (ID_PROD, NOME_PROD, EXCLUIDO) VALUES
    (1, 'CAFÉ', '0'),
    (2, 'CAPUCCINO', '0'),
    (3, 'CHOCOLATE', '0'),
    (4, 'ÁGUA', '0'),
    (5, 'REFRIG.', '0'),
    (6, 'BISCOITO', '0'),
    (7, 'CHÁ MATE', '1');

INSERT INTO LISTAS_PROD (ID, ID_PAI, VM_ID, PRECO, ID_PROD, GRUPO, ALTERACAO_DTHR) VALUES
    (1, 101, 1, 250, 1, '*', '2025-02-04 10:40:00'),
    (2, 101, 2, 350, 2, '*', '2025-02-04 10:40:00'),
    (3, 101, 3, 350, 3, '*', '2025-02-04 10:41:00'),
    (4, 101, 4, 200, 4, '*', '2025-02-04 10:41:00'),
    (5, 101, 5, 450, 5, 'A', '2025-02-04 10:42:00'),
    (6, 105, 1, 300, 1, '*', '2025-02-11 09:40:00'),
    (7, 105, 2, 250, 4, '*', '2025-02-11 09:40:00'),
    (8, 105, 3, 400, 6, '*', '2025-02-11 09:41:00');

INSERT INTO ESTOQUE (ID, ID_LISTA_PROD, ESTOQUE_MIN, ESTOQUE_MAX, CAPACIDADE, ESTOQUE_ATUAL) VALUES
    (1, 1, 20, 100, 120, 35),
    (2, 2, 20, 100, 120, 80),
    (3, 3, 10, 50, 60, 50),
    (4, 4, 10, 40, 40, 5),
    (5, 5, 12, 48, 48, 30),
    (6, 6, 20, 80, 100, 10),
    (7, 7, 10, 30, 30, 30),
    (8, 8, 10, 24, 24, 0);

INSERT INTO LISTA_PROD_INFO_ADD (ID, ID_PAI, MIN_PRICE, FILE_SECTOR) VALUES
    (1, 101, 100, 0);

INSERT INTO LISTAS_CREDITOS (ID, ID_PAI, ID_CARTAO, AUTO_CREDIT_MODE, CREDITO) VALUES
    (1, 1, 1001, 1, 5000),
    (2, 1, 1002, 1, 5000),
    (3, 1, 1003, 1, 5000),
    (4, 1, 1004, 41, 8000),
    (5, 1, 1005, 0, 3000),
    (6, 103, 2001, 41, 3000),
    (7, 103, 2002, 41, 3000),
    (8, 2, 3001, 3, 1000),
    (9, 2, 3002, 3, 1000),
    (10, 2, 3003, 5, 2500);

INSERT INTO LISTAS_GRUPOS (ID, ID_PAI, ID_CARTAO, GRUPO) VALUES
    (1, 1, 1001, 'A'),
    (2, 1, 1002, 'B'),
    (3, 2, 3001, '1');

INSERT INTO LISTAS_BONUS (ID, ID_PAI, ID_CARTAO) VALUES (1, 1, 1003);

INSERT INTO LISTAS_NEGRAS (ID, ID_PAI, ID_CARTAO) VALUES (1, 2, 3999);

INSERT INTO LISTA_NOMES (ID, ID_PAI, ID_CARTAO, NOME, GRUPO, UID, LOCALIZACAO, ALLOW_AF,
                         RESPOSTA1, RESPOSTA2, FLAGS, INCLUSAO_DTHR) VALUES
    (1, 1, 900000, 'JOÃO BATISTA', '2', '04A1B2C3', 'Produção - Galpão 1', 'Y', '10452', '0', 1, '2025-02-06 08:00:00'),
    (2, 1, 900001, 'MÁRCIA GONÇALVES', '2', '04D5E6F7A1B2C3', 'Administração', 'Y', '10453', '0', 1, '2025-02-06 08:00:00'),
    (3, 1, 900002, 'RENATO ARAÚJO', 'A', '0499AA77', 'Manutenção', 'N', '10460', '0', 1, '2025-02-06 08:00:00');

INSERT INTO CONSUMIDOR (CONSU_ID, CONSU_NOME, CONSU_EMAIL, CONSU_PWD, CONSU_SITUACAO,
                        CONSU_USU_CAD, CONSU_DT_CAD, CONSU_DT_ULT_ALT) VALUES
    (1, 'JOÃO DA SILVA', 'joao.silva@saolucas.com.br', '4821', 'A', 0, '2025-02-12 09:00:00', '2025-02-12 09:00:00'),
    (2, 'MARIA APARECIDA SOUZA', 'maria.souza@saolucas.com.br', '1937', 'A', 0, '2025-02-12 09:05:00', '2025-02-12 09:05:00'),
    (3, 'JOSÉ CARLOS PEREIRA', '', '7702', 'A', 0, '2025-03-03 10:00:00', '2025-03-03 10:00:00'),
    (4, 'ANA LÚCIA FERREIRA', 'ana.ferreira@saolucas.com.br', '5560', 'D', 0, '2025-02-12 09:10:00', '2025-04-01 17:30:00');

INSERT INTO CONSU_CLIENTE (CONSUCLI_ID_CONSU, CONSUCLI_ID_CLI, CONSUCLI_SITUACAO, CONSUCLI_DT_CADASTRO,
                           CONSUCLI_USU_CADASTRO, CONSUCLI_GRU_PADRAO, CONSUCLI_CAMPO1, CONSUCLI_CAMPO2) VALUES
    (1, 2, 'A', '2025-02-12', 0, '0', '20311', 'Enfermagem'),
    (2, 2, 'A', '2025-02-12', 0, '1', '20475', 'Farmácia'),
    (3, 3, 'A', '2025-03-03', 0, '0', NULL, NULL),
    (4, 2, 'D', '2025-02-12', 0, '0', '20102', 'Recepção');

INSERT INTO SALDO_CONSUMIDOR (SALDO_ID_CONSU, SALDO_ID_CLI, SALDO_SALDO_CART0, SALDO_DT_ULT_TRANS_CART0,
                              SALDO_DT_ULT_TRANS_CART1, SALDO_DT_ULT_TRANS_CART2, SALDO_DT_ULT_TRANS_CART3,
                              SALDO_SALDO_TOTAL, SALDO_DT_CADASTRO, SALDO_USU_CADASTRO) VALUES
    (1, 2, 42.5, '2025-02-12 09:00:00', '2025-02-12 09:00:00', '2025-02-12 09:00:00', '2025-02-12 09:00:00', 42.5, '2025-02-12', 0),
    (2, 2, 7.8, '2025-02-12 09:05:00', '2025-02-12 09:05:00', '2025-02-12 09:05:00', '2025-02-12 09:05:00', 7.8, '2025-02-12', 0),
    (3, 3, 0, '2025-03-03 10:00:00', '2025-03-03 10:00:00', '2025-03-03 10:00:00', '2025-03-03 10:00:00', 0, '2025-03-03', 0),
    (4, 2, 0, '2025-02-12 09:10:00', '2025-02-12 09:10:00', '2025-02-12 09:10:00', '2025-02-12 09:10:00', 0, '2025-02-12', 0);

INSERT INTO ACESSOS_CONSUMIDOR (ACESCON_ID_CLI, ACESCON_ID_CONSU, ACESCON_ID_TPPWD, ACESCON_ID_ALTERNATIVO) VALUES
    (2, 1, 255, '04A1B2C3D4E5F6'),
    (2, 2, 2, '20475'),
    (3, 3, 1, '5002');

INSERT INTO HISTORICO (HST_ID, HST_TP_HST, HST_DATA, HST_HISTORICO, HST_ID_REFERENCIA, HST_USUARIO,
                       HST_ID_JUSTIFICA, HST_ID_ORIGEM) VALUES
    (1, 0, '2025-02-12 09:00:00', 'Inclusão do consumidor JOÃO DA SILVA', 1, 0, 1, 7),
    (2, 0, '2025-02-12 09:01:00', 'Vinculado ao cliente Hospital São Lucas', 1, 0, 1, 4),
    (3, 0, '2025-02-12 09:05:00', 'Inclusão do consumidor MARIA APARECIDA SOUZA', 2, 0, 1, 7),
    (4, 0, '2025-04-01 17:30:00', 'Consumidor desativado a pedido do cliente', 4, 0, 1, 3);

-- 120 logs, every four hours until yesterday evening; each reader's
-- transaction numbers rise with time. Every tenth log is a recharge, every
-- seventeenth a cancelled sale, the rest sales; every eighth is online.
INSERT INTO LOGS (ID, TAG, TRANSAC_TP, NAME_USER, GR_USER, PURSE_ID, CARDTYPE, VM_ID, TRANSAC_ID,
                  PROD_ID, PROD_ID_VM, TRANSAC_DTHR, SEQT_CARD, TRANSAC_VL, CARD_ID, CARD_IDENT,
                  SALDO_INI, HW_SERIE, VALID_CRC, IS_LOG_ERROR, EDITADO, ID_CLIENTE, CRC, LOG_TIPO)
WITH RECURSIVE SEQ (N) AS (SELECT 1 UNION ALL SELECT N + 1 FROM SEQ WHERE N < 120),
G AS (
    SELECT N,
           N MOD 6 AS R,
           CASE WHEN N MOD 10 = 0 THEN 1 WHEN N MOD 17 = 0 THEN 14 ELSE 20 END AS TP,
           CASE N MOD 6 WHEN 0 THEN 1001 + N MOD 5 WHEN 1 THEN 2001 + N MOD 2
                        WHEN 2 THEN 3001 + N MOD 3 ELSE 5000 + N MOD 4 END AS CARTAO
      FROM SEQ)
SELECT N, 1, TP,
       ELT(1 + N MOD 5, 'JOAO', 'MARIA', 'JOSE', 'ANA', 'PEDRO'),
       IF(R = 0 AND N MOD 2 = 0, 'A', '1'),
       0, 0, 100 + R, 1001 + N DIV 6,
       IF(TP = 1, 0, 1 + N MOD 6), IF(TP = 1, 0, 1 + N MOD 5),
       TIMESTAMP(CURRENT_DATE) - INTERVAL (121 - N) * 4 HOUR + INTERVAL (N MOD 7) * 5 MINUTE,
       N, IF(TP = 1, 5000, 150 + (N MOD 5) * 50), CARTAO, CAST(CARTAO AS CHAR),
       10000 - (N MOD 9) * 350,
       ELT(1 + R, 'A0B1C2D3E4F50101', 'A0B1C2D3E4F50103', 'A0B1C2D3E4F50105',
                  'A0B1C2D3E4F50106', 'A0B1C2D3E4F50108', 'A0B1C2D3E4F50110'),
       '1', '0', '0', ELT(1 + R, 1, 1, 2, 3, 4, 5), 0, IF(N MOD 8 = 0, 1, 0)
  FROM G;

INSERT INTO LOGS (ID, TAG, TRANSAC_TP, NAME_USER, GR_USER, PURSE_ID, CARDTYPE, VM_ID, TRANSAC_ID,
                  PROD_ID, PROD_ID_VM, TRANSAC_DTHR, SEQT_CARD, TRANSAC_VL, CARD_ID, CARD_IDENT,
                  SALDO_INI, HW_SERIE, VALID_CRC, IS_LOG_ERROR, EDITADO, ID_CLIENTE, CRC, LOG_TIPO)
VALUES (121, 1, 20, 'CARD SN', '0', 0, 70, 300, 77, 2, 2,
        TIMESTAMP(CURRENT_DATE) - INTERVAL 3 DAY + INTERVAL 10 HOUR, 12, 300, 123456,
        '1234567890123456789', 4500, 'A0B1C2D3E4F50115', '1', '0', '0', 0, 0, 0);
