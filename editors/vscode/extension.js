// The client: starts `scenario lsp` for the descriptions and hands the editor
// to it. Everything else (diagnostics, hover, completion, outline,
// formatting) is the server's.
'use strict';

const vscode = require('vscode');
const { LanguageClient, TransportKind } = require('vscode-languageclient/node');

let client;

function impostazioni() {
  const c = vscode.workspace.getConfiguration('scenario');
  return { severo: c.get('severo', false), ritardo: c.get('ritardo', 30) };
}

async function activate(context) {
  const percorso = vscode.workspace.getConfiguration('scenario').get('percorso', 'scenario');
  const server = { command: percorso, args: ['lsp'], transport: TransportKind.stdio };
  client = new LanguageClient(
    'scenario',
    'Scenario',
    { run: server, debug: server },
    {
      documentSelector: [{ scheme: 'file', language: 'scenario' }],
      initializationOptions: impostazioni(),
      synchronize: { configurationSection: 'scenario' },
    },
  );
  context.subscriptions.push(
    vscode.workspace.onDidChangeConfiguration((e) => {
      if (e.affectsConfiguration('scenario.percorso')) {
        vscode.window.showInformationMessage('Scenario: riavviare la finestra per usare il nuovo percorso del tool.');
      }
    }),
  );
  await client.start();
}

function deactivate() {
  return client ? client.stop() : undefined;
}

module.exports = { activate, deactivate };
