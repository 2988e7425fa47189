// try/except catches run-time errors; finally always runs.
var
  log: String;

procedure Fail;
begin
  RaiseException('坏了');
end;

begin
  try
    Fail;
    ShowMessage('not reached');
  except
    ShowMessage('caught: ' + ExceptionMessage); // expect: caught: 坏了
  end;
  try
    try
      ShowMessage(1 div 0);
    finally
      ShowMessage('finally');          // expect: finally
    end;
  except
    ShowMessage(ExceptionMessage);     // expect: Division by zero
  end;
  ShowMessage(StrToInt('12a'));
end.
// expect runtime error: '12a' is not a valid integer value
