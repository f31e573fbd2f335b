-- Neovim's own LSP client, started and attached by the README's set-up,
-- against `skewquad --lsp`: the part opened has a warped quad; waits for the
-- diagnostics, the quad's on its line and the file's on its first, applies
-- the quad's quick fix and writes the buffer, which must then hold what
-- --fix writes.
-- Run: PART=... OUT=... nvim --headless -u init.lua -c "edit PART" -c "luafile neovim_lsp_test.lua"
local function fail(message)
  io.stderr:write("FAILED: " .. message .. "\n")
  vim.cmd("cquit 1")
end

if not vim.wait(10000, function() return #vim.diagnostic.get(0) > 0 end, 50) then
  return fail("no diagnostics: is the server attached? " .. vim.inspect(vim.lsp.buf_get_clients(0)))
end
-- The warped quad on its line; what the part's name says of it (a part
-- named t... is a third party's) on the header's first line.
local errors = vim.diagnostic.get(0, { severity = vim.diagnostic.severity.ERROR })
local on_lines = {}
for _, diagnostic in ipairs(errors) do
  if diagnostic.source ~= "skewquad" then return fail("source: " .. vim.inspect(diagnostic)) end
  on_lines[diagnostic.code] = diagnostic.lnum
end
if on_lines.warp ~= 19 or on_lines.third_party_no_pipe ~= 0 then
  return fail("errors: " .. vim.inspect(errors))
end

vim.api.nvim_win_set_cursor(0, { 20, 0 })
local params = vim.lsp.util.make_range_params()
params.context = { diagnostics = vim.lsp.diagnostic.get_line_diagnostics(0, 19) }
local responses = vim.lsp.buf_request_sync(0, "textDocument/codeAction", params, 10000) or {}
local applied = false
for _, response in pairs(responses) do
  for _, action in ipairs(response.result or {}) do
    if action.kind == "quickfix" and not applied then
      vim.lsp.util.apply_workspace_edit(action.edit, "utf-16")
      applied = true
    end
  end
end
if not applied then return fail("no quick fix offered") end
vim.cmd("write! " .. vim.fn.fnameescape(os.getenv("OUT")))
vim.lsp.stop_client(vim.lsp.get_active_clients())
vim.cmd("qall!")
