begin
  ShowMessage('unterminated);
  ShowMessage(1 ? 2);
end.
// A bad token is reported and skipped; parsing goes on around it.
// expect compile error: [line 2:15] Error at ''unterminated);': Unterminated string
// expect compile error: [line 3:17] Error at '?': Unexpected character
// expect compile error: [line 3:19] Error at '2': Expected ')'
