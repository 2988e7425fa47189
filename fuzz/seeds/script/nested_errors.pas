// Errors in declarations and routines are reported and the parser goes on.
var
  x: Integer
  y: Integer;

procedure P(A: Integer);
begin
  A := A +;
end;

function F: Integer;
begin
  Result := Unknown;
  Break;
end;

begin
  P(1, 2);
  x := 'a' 'b';
end.
// expect compile error: [line 4:3] Error at 'y': Expected ';' after the variable declaration
// expect compile error: [line 8:11] Error at ';': Expected an expression
// expect compile error: [line 13:13] Error at 'Unknown': Unknown identifier 'Unknown'
// expect compile error: [line 14:3] Error at 'Break': 'Break' outside a loop
// expect compile error: [line 18:3] Error at 'P': Too many actual parameters for 'P'
// expect compile error: [line 19:12] Error at ''b'': Expected ';' between statements
