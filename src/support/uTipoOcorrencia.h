#pragma once

// Status of one row in the log's report lines; the ordinals are the ones the ERP reports used,
// so keep the order. ("toNaoExite" keeps its historical spelling: other units name it so.)
enum TTipoOcorrencia {
    toNull,
    toInserido,
    toNaoInserido,
    toExistente,
    toErro,
    toCopiado,
    toNaoCopiado,
    toNaoExite
};
