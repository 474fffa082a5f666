-- Zentro database, structure version 505: reference data and reserved rows.

INSERT INTO DBINFO (VERSION) VALUES ('505');

-- Reserved users. SENHA = SHA-1 of 'MtRzK' + name + ID + password, upper-case hex.
-- Default passwords: ADMIN "admin1234", KAVORA "kavora2026".
INSERT INTO USUARIOS (ID, NOME, SENHA, NIVEL, USU_SITUACAO) VALUES
    (0, 'ADMIN', UPPER(SHA1(CONCAT('MtRzK', 'ADMIN', 0, 'admin1234'))), '1', 'A'),
    (2, 'KAVORA', UPPER(SHA1(CONCAT('MtRzK', 'KAVORA', 2, 'kavora2026'))), '1', 'A');

-- Reserved item -10: the link target of consumers who belong to every client.
-- No tree or list query shows it.
INSERT INTO ITENS (ID, NOME_LOCAL, ID_PAI, TIPO_EQUIP, EM_MANUTENCAO, TEM_FILHO, EXCLUIDO, DATA_INCLUI)
VALUES (-10, 'TODOS OS CLIENTES', -1, 1, '0', '0', '0', '2000-01-01 00:00:00');

-- Routine codes of the audit trail. ROT_TIPO: A acesso, I inclusão,
-- M modificação, E exclusão, C consulta, relatório ou exportação, F falha ou recusa.
INSERT INTO TAB_ROTINA (ROT_COD, ROT_DESC, ROT_ORIGEM, ROT_OBS, ROT_TIPO) VALUES
    (1, 'Login recusado: usuário desativado', 'Login', NULL, 'F'),
    (2, 'Login recusado: usuário ou senha inválidos', 'Login', NULL, 'F'),
    (3, 'Login recusado: senha corrompida', 'Login', NULL, 'F'),
    (4, 'Cadastro do proprietário criado no login', 'Login', NULL, 'I'),
    (5, 'Falha ao criar o cadastro do proprietário', 'Login', NULL, 'F'),
    (6, 'Usuário incluído', 'Usuários', NULL, 'I'),
    (7, 'Usuário alterado', 'Usuários', NULL, 'M'),
    (8, 'Falha ao salvar usuário', 'Usuários', NULL, 'F'),
    (9, 'Leitor incluído', 'Cadastro de Leitores', 'Resumo das propriedades do leitor', 'I'),
    (10, 'Operação de leitor recusada', 'Cadastro de Leitores', NULL, 'F'),
    (11, 'Leitor alterado', 'Cadastro de Leitores', 'Resumo das propriedades do leitor', 'M'),
    (12, 'Falha em operação de leitor', 'Cadastro de Leitores', NULL, 'F'),
    (13, 'Leitor enviado para manutenção', 'Manutenção de Leitores', NULL, 'M'),
    (14, 'Leitor retornado da manutenção', 'Manutenção de Leitores', NULL, 'M'),
    (15, 'Item da árvore criado ou reaproveitado', 'Árvore de Leitores', NULL, 'I'),
    (16, 'Cliente ou subdivisão renomeado', 'Árvore de Leitores', NULL, 'M'),
    (17, 'Leitores movidos para o estoque', 'Árvore de Leitores', NULL, 'M'),
    (18, 'Leitor excluído do estoque', 'Árvore de Leitores', NULL, 'E'),
    (19, 'Configurações de leitor excluídas', 'Árvore de Leitores', NULL, 'E'),
    (20, 'Lista de grupos de leitor excluída', 'Árvore de Leitores', NULL, 'E'),
    (21, 'Lista de produtos de leitor excluída', 'Árvore de Leitores', NULL, 'E'),
    (22, 'Parâmetros da lista de produtos excluídos', 'Árvore de Leitores', NULL, 'E'),
    (23, 'Lista de créditos de leitor excluída', 'Árvore de Leitores', NULL, 'E'),
    (24, 'Lista de bônus de leitor excluída', 'Árvore de Leitores', NULL, 'E'),
    (25, 'Lista de exclusão de leitor excluída', 'Árvore de Leitores', NULL, 'E'),
    (26, 'Comentários de manutenção excluídos', 'Árvore de Leitores', NULL, 'E'),
    (27, 'Item marcado como excluído', 'Árvore de Leitores', NULL, 'E'),
    (28, 'Leitor arquivado ou movido para o estoque', 'Árvore de Leitores', NULL, 'E'),
    (29, 'Leitor movido do estoque para cliente', 'Manutenção de Leitores', NULL, 'M'),
    (31, 'Logs de transações importados', 'Importação de Logs', 'Cartão de coleta ou arquivo CSV', 'I'),
    (32, 'Configurações exportadas', 'Exportação de Configurações', 'Cartão de configuração ou arquivo', 'C'),
    (34, 'Produto incluído no catálogo', 'Produtos', NULL, 'I'),
    (35, 'Produto renomeado no catálogo', 'Produtos', NULL, 'M'),
    (36, 'Produto excluído do catálogo', 'Produtos', NULL, 'E'),
    (37, 'Relatório de transações', 'Relatórios', NULL, 'C'),
    (38, 'Arquivo CSV gerado', 'Relatórios', NULL, 'C'),
    (39, 'Relatório de cartões', 'Relatórios', NULL, 'C'),
    (40, 'Relatório de leitores', 'Relatórios', NULL, 'C'),
    (41, 'Relatório de movimentação de usuários', 'Relatórios', NULL, 'C'),
    (42, 'Relatório de consumo por usuário', 'Relatórios', NULL, 'C'),
    (43, 'Relatório de doses anuais', 'Relatórios', NULL, 'C'),
    (44, 'Lista de bônus: cartões incluídos', 'Listas de Cartões', NULL, 'I'),
    (45, 'Lista de bônus: lista zerada', 'Listas de Cartões', NULL, 'E'),
    (46, 'Lista de bônus: cartão excluído', 'Listas de Cartões', NULL, 'E'),
    (47, 'Lista de bônus: CSV importado', 'Listas de Cartões', NULL, 'I'),
    (48, 'Lista de bônus: CSV exportado', 'Listas de Cartões', NULL, 'C'),
    (49, 'Lista de créditos: cartões incluídos', 'Listas de Cartões', NULL, 'I'),
    (50, 'Lista de créditos: cartão alterado', 'Listas de Cartões', NULL, 'M'),
    (51, 'Lista de créditos: cartão excluído', 'Listas de Cartões', NULL, 'E'),
    (52, 'Lista de créditos: CSV importado', 'Listas de Cartões', NULL, 'I'),
    (53, 'Lista de créditos: CSV exportado', 'Listas de Cartões', NULL, 'C'),
    (54, 'Lista de grupos: cartões incluídos', 'Listas de Cartões', NULL, 'I'),
    (55, 'Lista de grupos: cartão alterado', 'Listas de Cartões', NULL, 'M'),
    (56, 'Lista de grupos: cartão excluído', 'Listas de Cartões', NULL, 'E'),
    (57, 'Lista de grupos: CSV importado', 'Listas de Cartões', NULL, 'I'),
    (58, 'Lista de grupos: CSV exportado', 'Listas de Cartões', NULL, 'C'),
    (59, 'Lista de exclusão: cartões incluídos', 'Listas de Cartões', NULL, 'I'),
    (60, 'Lista de exclusão: alterada ou zerada', 'Listas de Cartões', NULL, 'M'),
    (61, 'Lista de exclusão: cartão excluído', 'Listas de Cartões', NULL, 'E'),
    (62, 'Lista de exclusão: CSV importado', 'Listas de Cartões', NULL, 'I'),
    (63, 'Lista de exclusão: CSV exportado', 'Listas de Cartões', NULL, 'C'),
    (64, 'Lista de produtos: produto incluído', 'Lista de Produtos', NULL, 'I'),
    (65, 'Lista de produtos: produto alterado', 'Lista de Produtos', NULL, 'M'),
    (66, 'Lista de produtos: produto excluído ou zerada', 'Lista de Produtos', NULL, 'E'),
    (67, 'Lista de produtos: CSV importado', 'Lista de Produtos', NULL, 'I'),
    (68, 'Lista de produtos: CSV exportado', 'Lista de Produtos', NULL, 'C'),
    (69, 'Lista de créditos: lista zerada', 'Listas de Cartões', NULL, 'E'),
    (70, 'Lista de grupos: lista zerada', 'Listas de Cartões', NULL, 'E'),
    (71, 'Configuração de leitor salva', 'Configurador', 'Resumo dos parâmetros', 'M'),
    (72, 'Dados ou logomarca do proprietário alterados', 'Proprietário', NULL, 'M'),
    (73, 'Comentário de manutenção incluído ou alterado', 'Manutenção de Leitores', NULL, 'I'),
    (74, 'Consumidor incluído', 'Consumidores', NULL, 'I'),
    (75, 'Consumidor alterado', 'Consumidores', NULL, 'M'),
    (77, 'Consumidor vinculado a cliente', 'Consumidores', 'Também pela importação de consumidores', 'I'),
    (78, 'Vínculo de consumidor alterado', 'Consumidores', NULL, 'M'),
    (79, 'Vínculo de consumidor excluído', 'Consumidores', NULL, 'E'),
    (80, 'Acesso de consumidor incluído', 'Consumidores', NULL, 'I'),
    (81, 'Acesso ou saldos de consumidor alterados', 'Consumidores', NULL, 'M'),
    (82, 'Acesso de consumidor excluído', 'Consumidores', NULL, 'E'),
    (83, 'Parâmetros de grupos de usuários alterados', 'Configurador', NULL, 'M'),
    (84, 'Lista de leitores do cliente gerada em CSV', 'Propriedades do Cliente', NULL, 'C'),
    (85, 'Consulta de atividade dos usuários', 'Consulta Log Usuários', NULL, 'C'),
    (86, 'Planilha de atividade dos usuários gerada', 'Consulta Log Usuários', NULL, 'C'),
    (87, 'Tipo de equipamento incluído ou alterado', 'Tipos de Equipamento', NULL, 'I'),
    (89, 'Tipo de equipamento excluído', 'Tipos de Equipamento', NULL, 'E'),
    (90, 'Consumidores importados de arquivo', 'Importação de Consumidores', NULL, 'I'),
    (94, 'Lista de auto-formatação ou de usuários zerada', 'Lista de Auto-formatação', NULL, 'E'),
    (95, 'Lista de usuários importada de CSV', 'Lista de Auto-formatação', NULL, 'I');

INSERT INTO AUTO_CREDIT_MODE (AUTO_CREDIT_MODE, TEXTO_EXIBICAO) VALUES
    (0, '0 - Mensal / Não Acumulativo'),
    (1, '1 - Mensal / Acumulativo'),
    (2, '2 - Diária / Não Acumulativo'),
    (3, '3 - Diária / Acumulativo'),
    (4, '4 - Semanal / Não Acumulativo'),
    (5, '5 - Semanal / Acumulativo'),
    (6, '6 - Quinzenal / Não Acumulativo'),
    (7, '7 - Quinzenal / Acumulativo');

-- TRANSAC_VALUE multiplies TRANSAC_VL (and counts) in the reports: a sale
-- counts 1, a cancelled sale takes its value back.
INSERT INTO TIPOS_TRANSAC (TRANSAC_TP, TRANSAC_TXT, TRANSAC_VALUE, TRANSAC_TP_OPERACAO) VALUES
    (1, 'Recarga automática', 1, 'C'),
    (2, 'Recarga em estação (dinheiro)', 1, 'C'),
    (3, 'Recarga em estação (POS)', 1, 'C'),
    (4, 'Crédito de bônus', 1, 'C'),
    (7, 'Débito manual', 1, 'D'),
    (10, 'Formatação de cartão', 0, 'N'),
    (14, 'Venda cancelada (estorno)', -1, 'C'),
    (15, 'Multi-venda', 1, 'D'),
    (20, 'Venda', 1, 'D'),
    (53, 'Alteração de nome ou grupo do cartão', 0, 'N'),
    (98, 'Auto-formatação de cartão', 0, 'N'),
    (204, 'Débito online', 1, 'D'),
    (206, 'Venda online', 1, 'D');

-- Card kinds. The card reports join LOGS.CARDTYPE with this table, so every
-- value a log record can carry (one byte) has a row; unnamed kinds get a
-- generic name.
INSERT INTO TIPO_CARTAO (ID, DESCR) VALUES
    (0, 'Cartão de usuário'),
    (1, 'Cartão de supervisor'),
    (2, 'Cartão de manutenção'),
    (3, 'Cartão de recarga'),
    (70, 'Cartão identificado pelo nº de série');
INSERT INTO TIPO_CARTAO (ID, DESCR)
WITH RECURSIVE N (I) AS (SELECT 0 UNION ALL SELECT I + 1 FROM N WHERE I < 255)
SELECT I, CONCAT('Tipo de cartão ', I) FROM N WHERE I NOT IN (0, 1, 2, 3, 70);

-- "Nenhum" (1) is the type of readers without one; operators add others.
INSERT INTO EQUIP_TIPOS (ID_EQUIP_TIPO, TIPO) VALUES
    (1, 'Nenhum'),
    (2, 'KLT500'),
    (3, 'KLT600'),
    (4, 'KLT700');

INSERT INTO JUSTIFICATIVA (JUST_ID, JUST_DESCRICAO) VALUES
    (1, 'Operação do usuário'),
    (2, 'Solicitação do consumidor'),
    (3, 'Solicitação do cliente'),
    (4, 'Correção de cadastro'),
    (5, 'Perda ou roubo de cartão');

INSERT INTO ORIGEM_HST (ORIGHST_ID, ORIGHST_DESCRICAO) VALUES
    (1, 'Anotação'),
    (2, 'Alteração de vínculo com cliente'),
    (3, 'Alteração de consumidor'),
    (4, 'Inclusão de vínculo com cliente'),
    (5, 'Inclusão de acesso'),
    (6, 'Alteração de acesso ou saldos'),
    (7, 'Inclusão de consumidor'),
    (8, 'Exclusão de vínculo com cliente'),
    (9, 'Exclusão de acesso');

-- 255: hexadecimal identification (card UID); the others are digits only.
INSERT INTO TIPO_ACESSO_CONSU (TPACESCON_ID, TPACESCON_DESCRICAO) VALUES
    (1, 'Número do cartão'),
    (2, 'Matrícula'),
    (3, 'CPF'),
    (255, 'UID do cartão (hexadecimal)');
