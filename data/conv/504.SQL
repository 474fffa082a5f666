-- Zentro: structure 503 -> 504
-- Statements are separated by the caret character; the program adds the semicolon.
ALTER TABLE TAB_MOV_USU
    ADD KEY IX_TAB_MOV_USU_LEITOR (MOV_LEITOR)
^
ALTER TABLE ITENS
    ADD COLUMN VERSAO_LEITOR BIGINT DEFAULT 0,
    ADD COLUMN CONFIG_SEQ BIGINT DEFAULT 0
^
ALTER TABLE ITENS_EXCLUIDOS
    ADD KEY IX_ITENS_EXCLUIDOS_HW_SERIE (HW_SERIE)
^
REPLACE INTO TAB_ROTINA (ROT_COD, ROT_DESC, ROT_ORIGEM, ROT_OBS, ROT_TIPO) VALUES
    (83, 'Parâmetros de grupos de usuários alterados', 'Configurador', NULL, 'M'),
    (84, 'Lista de leitores do cliente gerada em CSV', 'Propriedades do Cliente', NULL, 'C'),
    (85, 'Consulta de atividade dos usuários', 'Consulta Log Usuários', NULL, 'C'),
    (86, 'Planilha de atividade dos usuários gerada', 'Consulta Log Usuários', NULL, 'C'),
    (87, 'Tipo de equipamento incluído ou alterado', 'Tipos de Equipamento', NULL, 'I'),
    (89, 'Tipo de equipamento excluído', 'Tipos de Equipamento', NULL, 'E')
^
UPDATE DBINFO SET VERSION = '504'
^
