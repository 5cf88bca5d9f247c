#!/usr/bin/env bash
# The language server in a real editor: Debian's Neovim, headless, opens a
# train description with a slip beside its line, waits for the server's
# diagnostic and checks its line and message through vim.diagnostic.get,
# then asks for a hover on a keyword. Usage: tests/neovim_lsp.sh build/scenario
set -euo pipefail
export SCENARIO_STRUMENTO=$(realpath "${1:?uso: tests/neovim_lsp.sh SCENARIO}")
export SCENARIO_CARTELLA=$(mktemp -d)
trap 'rm -rf "$SCENARIO_CARTELLA"' EXIT

"$SCENARIO_STRUMENTO" nuovo "$SCENARIO_CARTELLA/coppia" >/dev/null
# The slip: "stazione" misspelt on the second station's line.
sed -i 's/^stazione,    3250/stazone,    3250/' "$SCENARIO_CARTELLA/coppia/treno.txt"
export SCENARIO_RIGA=$(grep -n '^stazone' "$SCENARIO_CARTELLA/coppia/treno.txt" | cut -d: -f1)

cat > "$SCENARIO_CARTELLA/prova.lua" <<'LUA'
local function prova()
  local cartella = os.getenv('SCENARIO_CARTELLA') .. '/coppia'
  local riga = tonumber(os.getenv('SCENARIO_RIGA'))
  vim.cmd('edit ++enc=cp1252 ' .. cartella .. '/treno.txt')
  -- Neovim 0.7 (Debian's) has neither vim.lsp.start nor filetype.lua by
  -- default: the client is started and attached by hand.
  local cliente = vim.lsp.start_client({
    name = 'scenario',
    cmd = { os.getenv('SCENARIO_STRUMENTO'), 'lsp' },
    root_dir = cartella,
  })
  local buf = vim.api.nvim_get_current_buf()
  vim.lsp.buf_attach_client(buf, cliente)

  local trovata
  local ok = vim.wait(20000, function()
    for _, d in ipairs(vim.diagnostic.get(buf)) do
      if d.message:find('stazone', 1, true) then
        trovata = d
        return true
      end
    end
    return false
  end, 50)
  assert(ok, 'no diagnostic about "stazone" within 20 s')
  assert(trovata.lnum == riga - 1, 'diagnostic at line ' .. (trovata.lnum + 1) .. ', not ' .. riga)
  assert(trovata.severity == vim.diagnostic.severity.WARN, 'severity ' .. tostring(trovata.severity))
  print('diagnostica: riga ' .. (trovata.lnum + 1) .. ': ' .. trovata.message .. '\n')

  -- The hover on the keyword of a signal.
  local riga_segnale = vim.fn.search('^segnale', 'n')
  local risposta = vim.lsp.get_client_by_id(cliente).request_sync('textDocument/hover', {
    textDocument = { uri = vim.uri_from_bufnr(buf) },
    position = { line = riga_segnale - 1, character = 2 },
  }, 10000, buf)
  assert(risposta and not risposta.err and risposta.result, 'no hover: ' .. vim.inspect(risposta))
  local testo = risposta.result.contents.value
  assert(testo:find('`sx`', 1, true) and testo:find('**segnale**', 1, true), 'hover without sx: ' .. testo)
  print('hover: ' .. testo:match('^[^\n]*') .. '\n')
end

local ok, errore = pcall(prova)
if not ok then
  io.stderr:write('neovim_lsp: ' .. tostring(errore) .. '\n')
  vim.cmd('cquit 1')
end
vim.cmd('qall!')
LUA
timeout 120 nvim --headless --clean -u NONE -c "luafile $SCENARIO_CARTELLA/prova.lua"
echo
echo "neovim_lsp: 1 passed, 0 failed"
